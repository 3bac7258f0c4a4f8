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
#include "gui/application.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "platform/clipboard.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include <algorithm>
#include <iterator>

namespace {

// The per-day sub-menus and the command of their sub-items; secret items are
// never sent, so SendTo leaves them out.
struct DayMenu
{
    QMenu* TSchedForm::*menu;
    void (TSchedForm::*command)(QAction* sender);
    bool secretItems;
};

constexpr DayMenu kDayMenus[] = {
    { &TSchedForm::NEvent, &TSchedForm::ItemMenuEditClick, true },
    { &TSchedForm::NDelete, &TSchedForm::ItemMenuDeleteClick, true },
    { &TSchedForm::NCopy, &TSchedForm::CopyActionExecute, true },
    { &TSchedForm::QuickLink, &TSchedForm::QuickLinkClick, true },
    { &TSchedForm::SendTo, &TSchedForm::ItemMenuSendClick, false },
};

} // namespace

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
    for (std::size_t i = 0; i < std::size(kDayMenus); ++i) {
        QMenu* menu = this->*kDayMenus[i].menu;
        connect(menu, &QMenu::aboutToShow, this,
                [this, i] { gui::Guarded([this, i] { FillDayMenu(i); }, this); });
        connect(menu, &QMenu::triggered, this,
                [this, command = kDayMenus[i].command](QAction* action) {
                    gui::Guarded([this, command, action] { (this->*command)(action); }, this);
                });
    }
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
    // The sub-items go later: this runs while one of them may still be
    // delivering its click.
    for (const DayMenu& kind : kDayMenus) {
        QMenu* menu = this->*kind.menu;
        for (QAction* action : menu->actions()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    dayMenusFilled_ = 0;
    Calendar->SelectCurrentDay();
    const std::vector<PEventData> dayList = Calendar->Store().DayList;
    dayMenuDate_ = Calendar->CurrentDate();
    dayMenuIds_.clear();
    for (PEventData item : dayList)
        dayMenuIds_.push_back(item->Id);
    QTreeWidget* list = ListWindow->SchedList;
    list->setUpdatesEnabled(false);
    ListWindow->ShowDay(dayList);
    list->setUpdatesEnabled(true);
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    else
        ShowCurrentItem(nullptr, false);
    // A sub-menu open at this moment shows the new day at once.
    for (std::size_t i = 0; i < std::size(kDayMenus); ++i)
        if ((this->*kDayMenus[i].menu)->isVisible())
            FillDayMenu(i);
}

std::vector<PEventData> TSchedForm::DayMenuItems() const
{
    std::vector<PEventData> items;
    items.reserve(dayMenuIds_.size());
    for (std::uint64_t id : dayMenuIds_)
        if (PEventData item = Calendar->Store().FindById(id))
            items.push_back(item);
    return items;
}

void TSchedForm::FillDayMenu(std::size_t index)
{
    const unsigned bit = 1u << index;
    if (dayMenusFilled_ & bit)
        return;
    dayMenusFilled_ |= bit;
    const DayMenu& kind = kDayMenus[index];
    QMenu* menu = this->*kind.menu;
    for (PEventData item : DayMenuItems()) {
        if (!kind.secretItems && (item->KindBits & 1) != 0)
            continue;
        QString caption = qtext::ToQ(DayMenuCaption(*item, dayMenuDate_));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        menu->addAction(caption)->setData(QVariant::fromValue<qulonglong>(item->Id));
    }
}

void TSchedForm::OptPopupPopup()
{
    const std::vector<PEventData> items = DayMenuItems();
    for (QMenu* menu : { NEvent, NDelete, NCopy })
        menu->menuAction()->setEnabled(!items.empty());
    SendTo->menuAction()->setEnabled(std::any_of(
        items.begin(), items.end(), [](PEventData item) { return (item->KindBits & 1) == 0; }));
    PasteAction->setEnabled(CanPaste());
    QuickLink->menuAction()->setEnabled(!items.empty() && !BuildVariant().CurrentMailID().empty());
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
