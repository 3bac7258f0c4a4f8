// The main window's navigation and views: page moves, the month caption and
// its direct-date menu, the grid type, the category, priority and display
// filters, secret items behind the password, the calendar's keys, export and
// merging another file into the schedule.

#include "app/directdate.h"
#include "app/forms/exportform.h"
#include "app/forms/formutil.h"
#include "app/forms/listwindow.h"
#include "app/forms/passform.h"
#include "app/forms/schedform.h"
#include "app/forms/toolimages.h"
#include "app/settings/consts.h"
#include "app/settings/initparam.h"
#include "controls/btnlabel.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/guards.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace {

// The calendar's keys reach the main window before the grid moves its
// selection.
class CalendarKeys : public QObject
{
public:
    explicit CalendarKeys(TSchedForm* form) : QObject(form), form_(form) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        bool taken = false;
        gui::Guarded([&] { taken = form_->CalendarKeyDown(key->key(), key->modifiers()); }, form_);
        return taken;
    }

private:
    TSchedForm* form_;
};

constexpr int kMergeSchedule = 1;
constexpr int kImportCsv = 2;

} // namespace

void TSchedForm::CreateViewHandlers()
{
    for (QToolButton* button : { PrevYear, PrevPage, NextPage, NextYear })
        connect(button, &QToolButton::clicked, this,
                [this, button] { gui::Guarded([this, button] { MoveYearMonth(button); }, this); });
    connect(HereLabel, &TColorButton::Clicked, this,
            [this] { gui::Guarded([this] { MoveMonthClick(); }, this); });
    ToolBar2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ToolBar2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { MoveDirect->popup(ToolBar2->mapToGlobal(pos)); });

    for (QAction* action : { PrivAction, WorkAction })
        connect(action, &QAction::triggered, this,
                [this, action] { gui::Guarded([this, action] { PersonalClick(action); }, this); });
    for (QAction* level : { PM_None, PM_Low, PM_Mid, PM_High, ToDo })
        connect(level, &QAction::triggered, this,
                [this, level] { gui::Guarded([this, level] { DisplayPriority(level); }, this); });
    connect(ImportBtn, &QToolButton::clicked, this,
            [this] { gui::Guarded([this] { ImportBtnClick(); }, this); });

    const std::pair<QAction*, void (TSchedForm::*)()> switches[] = {
        { NAutoMark, &TSchedForm::NAutoMarkClick }, { NBegTime, &TSchedForm::NBegTImeClick },
        { NEvent3, &TSchedForm::NEvent3Click },     { NEventHint, &TSchedForm::NEventHintClick },
        { N_Todo, &TSchedForm::N_TodoClick },       { NSecret, &TSchedForm::NSecretClick },
    };
    for (const auto& [action, handler] : switches)
        connect(action, &QAction::triggered, this, [this, handler = handler] {
            gui::Guarded([this, handler] { (this->*handler)(); }, this);
        });

    connect(AddFileBtn, &QToolButton::clicked, this,
            [this] { gui::Guarded([this] { AddFileBtnClick(); }, this); });
    Calendar->installEventFilter(new CalendarKeys(this));
}

// ---------------------------------------------------------------------------
// Moving through the calendar

void TSchedForm::MoveYearMonth(QObject* sender)
{
    const int tag = forms::Tag(sender);
    Calendar->MoveBy(tag / 10 - 1, tag % 10 - 1);
}

void TSchedForm::MoveMonthClick()
{
    Calendar->SetCurrentDate(days::Today());
}

void TSchedForm::CalendarChange()
{
    HereLabel->SetCaption(QStringLiteral("%1年 %2月").arg(Calendar->Year()).arg(Calendar->Month()));
    RebuildMoveDirect();
}

void TSchedForm::RebuildMoveDirect()
{
    // The menu may be rebuilt from one of its own items' clicks (a year
    // changes the calendar), so the old items go only once that click is
    // over.
    for (QAction* old : MoveDirect->actions()) {
        MoveDirect->removeAction(old);
        if (QMenu* sub = old->menu())
            sub->deleteLater();
        else if (old->parent() == MoveDirect)
            old->deleteLater();
    }
    const int year = Calendar->Year();
    const int month = Calendar->Month();
    auto yearClick = [this](int tag) {
        return [this, tag] { gui::Guarded([this, tag] { YearMenuClick(tag); }, this); };
    };
    for (int y = year - 3; y <= year + 5; ++y) {
        const QString caption = QStringLiteral("%1年").arg(y);
        if (y != year) {
            auto* item = new QAction(caption, MoveDirect);
            forms::SetTag(item, y);
            connect(item, &QAction::triggered, this, yearClick(y));
            MoveDirect->addAction(item);
            continue;
        }
        auto* months = new QMenu(caption, MoveDirect);
        QAction* item = months->menuAction();
        item->setCheckable(true);
        item->setChecked(true);
        forms::SetTag(item, y);
        for (int m = 1; m <= 12; ++m) {
            auto* sub = new QAction(QStringLiteral("%1月").arg(m), months);
            forms::SetTag(sub, m);
            sub->setCheckable(true);
            sub->setChecked(m == month);
            connect(sub, &QAction::triggered, this,
                    [this, m] { gui::Guarded([this, m] { MonthMenuClick(m); }, this); });
            months->addAction(sub);
        }
        MoveDirect->addMenu(months);
    }
    MoveDirect->addSeparator();
    auto* direct = new QAction(u"直接入力..."_qs, MoveDirect);
    direct->setObjectName(QStringLiteral("DirectInput"));
    forms::SetTag(direct, -1);
    connect(direct, &QAction::triggered, this, yearClick(-1));
    MoveDirect->addAction(direct);
}

void TSchedForm::MonthMenuClick(int tag)
{
    if (tag >= 1 && tag <= 12)
        Calendar->SetMonth(tag);
}

void TSchedForm::YearMenuClick(int tag)
{
    if (tag >= 0) {
        Calendar->SetYear(tag);
        return;
    }
    if (tag != -1)
        return;
    const std::optional<QString> typed = msgdlg::InputQuery(
        u"直接入力"_qs, u"表示する日付(1900以降)を入力してください:"_qs, QString(), this);
    if (!typed)
        return;
    days::Day target = 0;
    // A text that leads nowhere leaves the calendar where it is, without a
    // word: the person sees that nothing moved and types again.
    if (ParseDirectDate(qtext::FromQ(*typed), Calendar->CurrentDate(), target))
        Calendar->SetCurrentDate(target);
}

// ---------------------------------------------------------------------------
// Views and filters

void TSchedForm::UpdateGridLook()
{
    const bool weekly = GridAction->isChecked();
    toolimages::SetImage(GridAction, weekly ? toolimages::WeekGrid : toolimages::MonthGrid);
    const QString unit = weekly ? u"週"_qs : u"月"_qs;
    PrevPage->setToolTip(u"前"_qs + unit + u"へ"_qs);
    NextPage->setToolTip(u"翌"_qs + unit + u"へ"_qs);
}

void TSchedForm::GridTypeClick()
{
    const bool weekly = GridAction->isChecked();
    UpdateGridLook();
    Calendar->SetGridType(weekly ? gtWeekly : gtMonthly);
    InitParam.WeeklyDisp = weekly;
}

void TSchedForm::PersonalClick(QAction* action)
{
    const int bit = action == PrivAction ? 2 : 4;
    const int tag = 1 - forms::Tag(action);
    forms::SetTag(action, tag);
    const int image = action->property("imageIndex").toInt();
    int mask = Calendar->GetKindMask();
    if (tag == 0) {
        toolimages::SetImage(action, image - 1);
        mask |= bit;
    } else {
        toolimages::SetImage(action, image + 1);
        mask &= ~bit;
    }
    Calendar->SetKindMask(mask);
    if (tag == 1)
        ForgetHiddenItems();
}

void TSchedForm::DisplayPriority(QAction* item)
{
    item->setChecked(true);
    forms::SetTag(DispPriority, forms::Tag(item));
    ApplyPriorityFilter(1);
}

void TSchedForm::ImportBtnClick()
{
    ApplyPriorityFilter(1 - forms::Tag(ImportBtn));
}

void TSchedForm::ApplyPriorityFilter(int on)
{
    forms::SetTag(ImportBtn, on);
    const int level = forms::Tag(DispPriority);
    if (on && level >= 0) {
        toolimages::SetImage(ImportBtn, toolimages::PriorityNone + level);
        Calendar->SetPriorityFilter(level);
        ForgetHiddenItems();
    } else {
        forms::SetTag(ImportBtn, 0);
        toolimages::SetImage(ImportBtn, toolimages::PriorityOff);
        Calendar->SetPriorityFilter(-1);
    }
}

void TSchedForm::NAutoMarkClick()
{
    Calendar->SetAutoTitle(NAutoMark->isChecked());
    NBegTime->setEnabled(Calendar->AutoTitle());
}

void TSchedForm::NBegTImeClick()
{
    Calendar->SetDisplayTime(NBegTime->isChecked());
}

void TSchedForm::NEvent3Click()
{
    Calendar->SetDispEvent3(NEvent3->isChecked());
}

void TSchedForm::NEventHintClick()
{
    // Turning hints off also takes away one that is showing.
    Calendar->SetMakeHint(NEventHint->isChecked());
    Calendar->setToolTip(QString());
}

void TSchedForm::N_TodoClick()
{
    Calendar->SetDoneHide(N_Todo->isChecked());
    if (Calendar->DoneHide())
        ForgetHiddenItems();
}

void TSchedForm::NSecretClick()
{
    // The action has flipped its check already; it changes only once the
    // password, when one is set, has been given.
    const bool on = NSecret->isChecked();
    NSecret->setChecked(!on);
    if (on && !TPassForm::AskPassword(this))
        return;
    NSecret->setChecked(on);
    TDataKinds kinds = Calendar->DispKinds();
    if (on)
        kinds |= KindSet(dkSecret);
    else
        kinds &= ~KindSet(dkSecret);
    Calendar->SetDispKinds(kinds);
    if (!on)
        ForgetHiddenItems();
}

void TSchedForm::ForgetHiddenItems()
{
    const PEventData current = CurrentItem();
    if (current && (!Calendar->Store().Contains(current) || !Calendar->Store().IsVisible(*current)))
        ShowCurrentItem(nullptr, false);
    ListWindow->DropHiddenRows();
}

// ---------------------------------------------------------------------------
// Keys

bool TSchedForm::CalendarKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!ctrl)
            return false;
        if (shift)
            MakeNewData();
        else
            MoveMonthClick();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!ctrl)
            return false;
        if (key == Qt::Key_Left || key == Qt::Key_Right)
            Calendar->MoveBy(key == Qt::Key_Left ? -1 : 1, 0);
        else
            Calendar->MoveBy(0, key == Qt::Key_Up ? -1 : 1);
        return true;
    case Qt::Key_Delete:
        if (ctrl)
            return false;
        DelActionExecute();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Export and merge

void TSchedForm::ExportBtnClick()
{
    std::unique_ptr<TExportDialog> dialog = SchedFormDialogs().Export
        ? SchedFormDialogs().Export(this)
        : std::make_unique<TExportForm>(this, Calendar);
    if (!dialog)
        return;
    std::vector<std::string> names;
    for (std::string& name : sjis::ReadCommaText(InitParam.ExportFile))
        if (!name.empty())
            names.push_back(std::move(name));
    dialog->SetFileNames(names);
    dialog->SetNoSecretEnabled(NSecret->isChecked());
    if (dialog->Execute())
        InitParam.ExportFile = sjis::WriteCommaText(dialog->FileNames());
}

void TSchedForm::AddFileBtnClick()
{
    msgdlg::FileDialogOptions options;
    options.title = u"マージする予定表ファイルを指定してください"_qs;
    options.filter = u"スケジュール(SCH)|*.sch|CSVファイル|*.csv"_qs;
    const std::optional<msgdlg::FileChoice> choice = msgdlg::OpenFile(options, this);
    if (!choice)
        return;
    MergeFile(choice->path(), choice->filterIndex == kImportCsv ? kImportCsv : kMergeSchedule);
}

bool TSchedForm::MergeFile(const std::string& path, int filterIndex)
{
    TSchedList& store = Calendar->Store();
    // Everything is read into a store of its own first, so that a file that
    // cannot be read adds nothing at all.
    TSchedList scratch;
    scratch.IsHoliday = [this](days::Day day) { return Calendar->IsDayOff(day); };
    std::string error;
    bool read = false;
    {
        gui::WaitCursor wait;
        read = filterIndex == kImportCsv ? scratch.ImportCSV(path, &error)
                                         : scratch.LoadFromFile(path, false, &error);
    }
    if (!read) {
        msgdlg::Error(SJ("ファイルを読み込めません。") + "\r\n" + path + "\r\n" + error, this);
        return false;
    }
    // The readable records of days the calendar shows come in; what stayed
    // out is said after the schedule is saved.
    const auto notShown = std::count_if(scratch.All().begin(), scratch.All().end(),
                                        [](const TEventData* item) { return !IsShownItem(*item); });
    const auto reportLeftOut = [&] {
        std::string text;
        if (scratch.DroppedRecords() > 0)
            text += (filterIndex == kImportCsv ? SJ("CSVファイル") : SJ("予定表")) +
                SJ("として読めない行が") + std::to_string(scratch.DroppedRecords()) +
                SJ("件あったため、その行は追加しませんでした。") + "\r\n" + path + "\r\n";
        if (notShown > 0)
            text += std::to_string(notShown) +
                SJ("件の予定は日付が範囲外のため、追加しませんでした。") + "\r\n" +
                strconst::ShownDatesOnly();
        if (!text.empty())
            msgdlg::Warning(text, this);
    };
    if (scratch.Count() == notShown) {
        reportLeftOut();
        return false;
    }
    {
        gui::WaitCursor wait;
        struct LoadingScope
        {
            bool& flag;
            ~LoadingScope() { flag = false; }
        } loading { store.Loading };
        store.Loading = true;
        for (const TEventData* item : scratch.All())
            if (IsShownItem(*item))
                store.AddEvent(*item, false);
        store.SortEvents();
        // Items already in the schedule come in only once.
        store.RemoveDuplicates();
    }
    // The duplicates just removed may have been shown.
    ForgetHiddenItems();
    Calendar->ScheduleChanged();
    Calendar->UpdateLayout();
    reportLeftOut();
    return true;
}
