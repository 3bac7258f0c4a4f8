// The main window's commands on single items: new, edit, copy, paste, cut,
// delete, the done check, the bulk delete, the per-day sub-menus and the
// current item shown in the title caption and the memo view.

#include "app/bulkdelete.h"
#include "app/definedfield.h"
#include "app/forms/datepicker.h"
#include "app/forms/enterform.h"
#include "app/forms/listwindow.h"
#include "app/forms/memoform.h"
#include "app/forms/removeview.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/itemtexts.h"
#include "controls/bevlabel.h"
#include "core/view/wscheduler.h"
#include "gui/application.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "platform/clipboard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

void TSchedForm::ConnectItemCommands()
{
    auto guarded = [this](auto handler) {
        return [this, handler] { gui::Guarded([this, handler] { (this->*handler)(); }, this); };
    };
    connect(NewAction, &QAction::triggered, this, guarded(&TSchedForm::MakeNewData));
    connect(Calendar, &TCustomGrid::OnDblClick, this, guarded(&TSchedForm::MakeNewData));
    connect(EditAction, &QAction::triggered, this, guarded(&TSchedForm::EditActionExecute));
    connect(DelAction, &QAction::triggered, this, guarded(&TSchedForm::DelActionExecute));
    connect(CopyAction, &QAction::triggered, this,
            [this] { gui::Guarded([this] { CopyActionExecute(nullptr); }, this); });
    connect(PasteAction, &QAction::triggered, this, guarded(&TSchedForm::PasteActionExecute));
    connect(CutAction, &QAction::triggered, this, guarded(&TSchedForm::CutActionExecute));
    connect(TitleCaption, &TBevelLabel::DoubleClicked, this,
            guarded(&TSchedForm::TitleCaptionDblClick));
    connect(N_Check, &QAction::triggered, this, guarded(&TSchedForm::N_CheckClick));
    connect(EditPopup, &QMenu::aboutToShow, this, guarded(&TSchedForm::EditPopupPopup));
    connect(OptPopup, &QMenu::aboutToShow, this, guarded(&TSchedForm::OptPopupPopup));
    connect(EraseBtn, &QToolButton::clicked, this, guarded(&TSchedForm::EraseBtnClick));
    PasteAction->setEnabled(CanPaste());
}

// ---------------------------------------------------------------------------
// New and edit

void TSchedForm::MakeNewData()
{
    NewSchedule();
}

void TSchedForm::NewSchedule(const std::string& subject, const std::string& mailId, int priority,
                             const std::string& memo, const std::string& mailKey)
{
    // The one entry dialog cannot open twice (a hot key or a second command
    // may arrive while it is up).
    if (!EnterForm || EnterForm->isVisible())
        return;
    const days::Day date = Calendar->CurrentDate();
    EnterForm->ExceptDatePicker->SetDay(date);
    TNewEventArgs args;
    args.Subject = subject;
    args.MailID = mailId;
    args.Date = date;
    args.MailKey = mailKey;
    args.Memo = memo;
    args.Priority = priority;
    EnterForm->NewEvent(args);
}

void TSchedForm::EditSchedule(PEventData item)
{
    if (!item || !Calendar->Store().Contains(item) || !EnterForm || EnterForm->isVisible())
        return;
    EnterForm->ExceptDatePicker->SetDay(Calendar->CurrentDate());
    if (EnterForm->EditEvent(item) == TEnterForm::mrOk && Calendar->Store().Contains(item))
        ListWindow->UpdateItem(item, false);
}

void TSchedForm::EditActionExecute()
{
    EditSchedule(CurrentItem());
}

void TSchedForm::TitleCaptionDblClick()
{
    EditSchedule(CurrentItem());
}

// ---------------------------------------------------------------------------
// Delete

void TSchedForm::Forget(PEventData item)
{
    if (item && TitleCaption->Data() == item)
        ShowCurrentItem(nullptr, false);
}

void TSchedForm::DeleteSchedule(PEventData item)
{
    if (!item || !Calendar->Store().Contains(item))
        return;
    const std::uint64_t id = item->Id;
    if (msgdlg::Message(msgdlg::Kind::Warning, DeleteQuestion(*item), msgdlg::Yes | msgdlg::No,
                        this) != msgdlg::Yes)
        return;
    // The question's event loop may have let the item go meanwhile.
    item = Calendar->Store().FindById(id);
    if (!item)
        return;
    ListWindow->UpdateItem(item, true);
    Forget(item);
    Calendar->DeleteEvent(item);
}

void TSchedForm::DelActionExecute()
{
    DeleteSchedule(CurrentItem());
}

// ---------------------------------------------------------------------------
// Copy, paste, cut

void TSchedForm::CopyActionExecute(QAction* sender)
{
    PEventData item = sender ? MenuItem(sender) : CurrentItem();
    if (!item)
        return;
    copyBuffer_ = *item;
    PasteAction->setEnabled(CanPaste());
    // Secret items stay inside the program.
    if ((item->KindBits & 1) == 0)
        clipboard::SetText(qtext::ToQ(CopyText(Calendar->Store(), *item)));
}

void TSchedForm::PasteActionExecute()
{
    if (!CanPaste())
        return;
    copyBuffer_.Date = Calendar->CurrentDate();
    copyBuffer_.Repeat = 0;
    Calendar->AddEvent(copyBuffer_);
}

void TSchedForm::CutActionExecute()
{
    // Cutting a series would delete all of its days for the one pasted back.
    PEventData item = CurrentItem();
    if (!item || item->Repeat != 0)
        return;
    CopyActionExecute(nullptr);
    ListWindow->UpdateItem(item, true);
    Forget(item);
    Calendar->DeleteEvent(item);
}

// ---------------------------------------------------------------------------
// Per-day sub-items

PEventData TSchedForm::MenuItem(const QAction* sender) const
{
    if (!sender)
        return nullptr;
    bool ok = false;
    const qulonglong id = sender->data().toULongLong(&ok);
    return ok ? Calendar->Store().FindById(id) : nullptr;
}

void TSchedForm::ItemMenuEditClick(QAction* sender)
{
    EditSchedule(MenuItem(sender));
}

void TSchedForm::ItemMenuDeleteClick(QAction* sender)
{
    DeleteSchedule(MenuItem(sender));
}

void TSchedForm::ItemMenuSendClick(QAction* sender)
{
    PEventData item = MenuItem(sender);
    if (item && (item->KindBits & 1) == 0)
        BuildVariant().SendScheduleMail(std::string(), *item, this);
}

void TSchedForm::CalendarChangeDate()
{
    // The calendar may report a date before the window has its lists.
    if (!ListWindow || !MemoForm)
        return;
    // Rows of items that left the store go before anything reads them.
    ListWindow->StoreChanged();
    // The sub-items go later: this runs while one of them may still be
    // delivering its click.
    for (QMenu* menu : { NEvent, NDelete, NCopy, SendTo, QuickLink }) {
        for (QAction* action : menu->actions()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    QTreeWidget* list = ListWindow->SchedList;
    list->setUpdatesEnabled(false);
    list->clear();
    Calendar->SelectCurrentDay();
    const std::vector<PEventData> dayList = Calendar->Store().DayList;
    const days::Day date = Calendar->CurrentDate();
    for (PEventData item : dayList) {
        ListWindow->AddDayItem(item);
        QString caption = qtext::ToQ(DayMenuCaption(*item, date));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QVariant id = QVariant::fromValue<qulonglong>(item->Id);
        auto add = [&](QMenu* menu, void (TSchedForm::*handler)(QAction*)) {
            QAction* action = menu->addAction(caption);
            action->setData(id);
            connect(action, &QAction::triggered, this, [this, action, handler] {
                gui::Guarded([this, action, handler] { (this->*handler)(action); }, this);
            });
        };
        add(NEvent, &TSchedForm::ItemMenuEditClick);
        add(NDelete, &TSchedForm::ItemMenuDeleteClick);
        add(NCopy, &TSchedForm::CopyActionExecute);
        add(QuickLink, &TSchedForm::QuickLinkClick);
        if ((item->KindBits & 1) == 0)
            add(SendTo, &TSchedForm::ItemMenuSendClick);
    }
    list->setUpdatesEnabled(true);
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    else
        ShowCurrentItem(nullptr, false);
}

void TSchedForm::OptPopupPopup()
{
    for (QMenu* menu : { NEvent, NDelete, SendTo, NCopy })
        menu->menuAction()->setEnabled(!menu->isEmpty());
    PasteAction->setEnabled(CanPaste());
    QuickLink->menuAction()->setEnabled(!QuickLink->isEmpty() &&
                                        !BuildVariant().CurrentMailID().empty());
}

// ---------------------------------------------------------------------------
// Done check

void TSchedForm::EditPopupPopup()
{
    PEventData item = CurrentItem();
    N_Check->setEnabled(item && item->Priority == 4);
    N_Check->setChecked(item && item->Done);
}

void TSchedForm::N_CheckClick()
{
    PEventData item = CurrentItem();
    if (!item || item->Priority != 4)
        return;
    item->Done = !item->Done;
    Calendar->SetModified(true);
    if (Calendar->Store().Contains(item))
        ListWindow->UpdateItem(item, false);
}

// ---------------------------------------------------------------------------
// Bulk delete

void TSchedForm::EraseBtnClick()
{
    TRemoveView view(this);
    view.SetRmDay(Calendar->CurrentDate() - 7);
    if (view.exec() != QDialog::Accepted)
        return;
    TRemoveChoice choice;
    choice.RepSched = view.RepSched->isChecked();
    choice.PriSched = view.PriSched->isChecked();
    choice.Secret = view.Secret->isChecked();
    choice.UnKnown = view.UnKnown->isChecked();
    choice.DispOnly = view.DispOnly->isChecked();
    choice.AllSched = view.AllSched->isChecked();
    choice.RmDate = view.RmDay();
    PEventData current = CurrentItem();
    const std::uint64_t currentId = current ? current->Id : 0;
    RemoveSchedules(Calendar->Store(), choice);
    if (current && !Calendar->Store().FindById(currentId))
        ShowCurrentItem(nullptr, false);
    // One notice for the whole visit: the file is written once.
    Calendar->SetModified(true);
}

// ---------------------------------------------------------------------------
// Current item

void TSchedForm::ShowCurrentItem(PEventData item, bool show)
{
    if (show && item && Calendar->Store().Contains(item)) {
        TitleCaption->SetCaption((item->Repeat != 0 ? u"◎ "_qs : u"◆ "_qs) +
                                 qtext::ToQ(item->Subject));
        TitleCaption->SetData(item);
        TitleCaption->setToolTip(u"ダブルクリックで編集できます"_qs);
        TitleCaption->SetBevelInner(bvLowered);
        MemoForm->setWindowTitle(qtext::ToQ(item->Subject));
        MemoForm->Memo1->setPlainText(qtext::ToQText(item->Memo));
    } else {
        TitleCaption->SetCaption(QString());
        TitleCaption->SetData(nullptr);
        TitleCaption->setToolTip(QString());
        TitleCaption->SetBevelInner(bvNone);
        MemoForm->setWindowTitle(QString());
        MemoForm->Memo1->clear();
    }
}
