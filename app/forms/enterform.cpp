#include "app/forms/enterform.h"

#include "app/forms/datepicker.h"
#include "app/forms/formutil.h"
#include "app/forms/kindform.h"
#include "app/forms/kindview.h"
#include "app/forms/noteform.h"
#include "app/forms/radiogroup.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "controls/bevlabel.h"
#include "controls/rangegrid.h"
#include "controls/selectgrid.h"
#include "controls/spinbtns.h"
#include "core/sjis.h"
#include "gui/msgdlg.h"
#include "gui/qtext.h"
#include "gui/screens.h"
#include "gui/unloadsafe.h"
#include "gui/updown.h"
#include "platform/clipboard.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <optional>

namespace {

using recur::MonthRule;
using recur::RepeatConflict;
using recur::RepeatPattern;

// The pattern choice (RepType) and the month options (MonthOption) list the
// core's patterns and month rules in their order.
std::optional<RepeatPattern> PatternAt(int index)
{
    if (index < 0)
        return std::nullopt;
    return static_cast<RepeatPattern>(index);
}

MonthRule MonthRuleAt(int index)
{
    return index < 0 ? MonthRule::SameDay : static_cast<MonthRule>(index);
}

int IndexOf(MonthRule rule)
{
    return static_cast<int>(rule);
}

constexpr int kPriorityDeadline = 4;
constexpr int kHistoryLength = 20;
constexpr int kMaxRange = 1755;
constexpr int kTimeUnit = 15;

QString QuoteToApostrophe(QString text)
{
    return text.replace(u'"', u'\'');
}

std::string QuoteToApostrophe(const std::string& text)
{
    return sjis::ReplaceAll(text, "\"", "'");
}

QString KindNameOf(const QString& entry)
{
    std::string name;
    TColor font = 0, back = 0;
    ParseKind(qtext::FromQ(entry), name, font, back);
    return qtext::ToQ(name);
}

// The text of a combo box's entries.
QStringList ItemsOf(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

std::vector<std::string> SjisItems(const QComboBox* box)
{
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(qtext::FromQ(box->itemText(i)));
    return out;
}

// Entries of a comma-text setting, trimmed; at most maxItems of them.
QStringList ReadList(const std::string& commaText, bool cleanQuotes,
                     std::size_t maxItems = static_cast<std::size_t>(-1))
{
    QStringList out;
    for (const std::string& item : sjis::ReadCommaText(commaText, maxItems)) {
        std::string text = sjis::Trim(item);
        if (cleanQuotes)
            text = QuoteToApostrophe(text);
        out << qtext::ToQ(text);
    }
    return out;
}

// A history box: editable, inserts nothing itself (the dialog keeps the
// list) and completes only with entries of the same letter case, so that
// what the user typed is never replaced by an entry in another case.
void MakeHistoryBox(QComboBox* box)
{
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(kHistoryLength);
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
}

QString TimeText(int begin, int end)
{
    begin = std::max(begin, 0);
    end = std::max(end, 0);
    return QString::asprintf("%d:%2.2d - %d:%2.2d", begin / 60, begin % 60, end / 60, end % 60);
}

} // namespace

TEnterForm::TEnterForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"EnterForm"_qs);
    CreateControls();
    ConnectControls();
    RepeatInputClick();
    NoTimeCheckClick();
    ExceptCheckClick();
    RepTypeClick();
    RangeGrid1SelectTime();
}

TEnterForm::~TEnterForm() = default;

void TEnterForm::CreateControls()
{
    auto label = [this](const QString& text, QWidget* parent, int x, int y, int w) {
        auto* l = new QLabel(text, parent);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto check = [](const QString& text, const char* name, QWidget* parent, int x, int y, int w) {
        auto* c = new QCheckBox(text, parent);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(x, y, w, 22);
        return c;
    };
    auto speed = [](const QString& text, const char* name, QWidget* parent) {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setAutoRaise(true);
        return b;
    };
    auto dropDown = [](const char* name, QWidget* parent, const QStringList& items) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        c->addItems(items);
        return c;
    };
    auto weekGrid = [](const char* name, QWidget* parent, const QStringList& items) {
        auto* g = new TSelectGrid(parent);
        g->setObjectName(QString::fromLatin1(name));
        g->SetColor(15658734);
        g->SetArrangeStyle(asHorizontal);
        g->SetReversebit(false);
        g->SetItems(items);
        return g;
    };
    const QStringList weekdays { u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs,
                                 u"木"_qs, u"金"_qs, u"土"_qs };

    // --- Left column: the item ---
    label(u"日付："_qs, this, 8, 8, 40);
    KeepDate = new TDatePicker(this);
    KeepDate->setObjectName(u"KeepDate"_qs);
    KeepDate->setGeometry(48, 8, 120, 22);
    RepeatInput = check(u"繰返し入力"_qs, "RepeatInput", this, 250, 8, 116);

    label(u"件名："_qs, this, 8, 36, 40);
    Subject = new QComboBox(this);
    Subject->setObjectName(u"Subject"_qs);
    MakeHistoryBox(Subject);
    Subject->setGeometry(48, 36, 316, 22);
    label(u"場所："_qs, this, 8, 64, 40);
    Place = new QComboBox(this);
    Place->setObjectName(u"Place"_qs);
    MakeHistoryBox(Place);
    Place->setGeometry(48, 64, 316, 22);

    DefBtn = new QPushButton(u"分類："_qs, this);
    DefBtn->setObjectName(u"DefBtn"_qs);
    DefBtn->setAutoDefault(false);
    DefBtn->setGeometry(4, 92, 44, 22);
    DataType = new TKindCombo(this);
    DataType->setObjectName(u"DataType"_qs);
    DataType->setGeometry(48, 92, 156, 22);
    DataKind = dropDown("DataKind", this, { u"個人"_qs, u"会社"_qs });
    DataKind->setGeometry(208, 92, 64, 22);
    Secret = check(u"シークレット"_qs, "Secret", this, 278, 92, 90);

    NoTimeCheck = check(u"時間指定無し"_qs, "NoTimeCheck", this, 8, 120, 110);
    Label3 = label(u"時間："_qs, this, 124, 120, 40);
    Label3->setObjectName(u"Label3"_qs);
    BegUpDown = new TUpDown(this);
    BegUpDown->setObjectName(u"BegUpDown"_qs);
    BegUpDown->setGeometry(166, 120, 16, 22);
    TimeLabel = new TBevelLabel(this);
    TimeLabel->setObjectName(u"TimeLabel"_qs);
    TimeLabel->SetAlignment(taCenter);
    TimeLabel->SetLayout(tlCenter);
    TimeLabel->setGeometry(184, 120, 160, 22);
    EndUpDown = new TUpDown(this);
    EndUpDown->setObjectName(u"EndUpDown"_qs);
    EndUpDown->setGeometry(346, 120, 16, 22);

    RangeGrid1 = new TRangeGrid(this);
    RangeGrid1->setObjectName(u"RangeGrid1"_qs);
    RangeGrid1->SetTimeUnit(kTimeUnit);
    RangeGrid1->SetMaxRange(kMaxRange);
    RangeGrid1->SetDefaultColWidth(16);
    RangeGrid1->SetEndTime(0);
    RangeGrid1->SetBeginTime(-kTimeUnit);
    RangeGrid1->setGeometry(8, 146, 356, RangeGrid1->sizeHint().height());
    const int below = RangeGrid1->geometry().bottom() + 6;
    // The up-downs step through the ruler in finer steps than its columns,
    // and are the keyboard's way to the times.
    BegUpDown->SetMax(kMaxRange - kTimeUnit);
    BegUpDown->SetIncrement(5);
    EndUpDown->SetMin(kTimeUnit);
    EndUpDown->SetMax(kMaxRange);
    EndUpDown->SetIncrement(5);
    for (TUpDown* upDown : { BegUpDown, EndUpDown })
        upDown->SetTabStop(true);

    Priority = dropDown("Priority", this, { u"無し"_qs, u"普"_qs, u"中"_qs, u"高"_qs, u"期限"_qs });
    Priority->setGeometry(8, below, 70, 22);
    TodoCheck = check(u"完了チェックを付ける"_qs, "TodoCheck", this, 86, below, 180);
    DoCancel = check(u"この予定は取消し！"_qs, "DoCancel", this, 8, below + 28, 170);
    NoExport = check(u"エクスポート対象外"_qs, "NoExport", this, 186, below + 28, 170);

    label(u"アラーム："_qs, this, 8, below + 56, 64);
    AlermTime = new TValueSpin(this);
    AlermTime->setObjectName(u"AlermTime"_qs);
    AlermTime->SetMin(0);
    AlermTime->SetMax(9999);
    AlermTime->SetIncrement(5);
    AlermTime->setGeometry(72, below + 56, 64, 22);
    AlermType = dropDown("AlermType", this, {});
    for (const std::string& unit : sjis::ReadCommaText(AlarmUnitList()))
        AlermType->addItem(qtext::ToQ(unit));
    AlermType->setGeometry(140, below + 56, 90, 22);

    MemoEdit = speed(u" メモ："_qs, "MemoEdit", this);
    MemoEdit->setGeometry(4, below + 84, 60, 22);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(u"Memo"_qs);
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo->setTabChangesFocus(true);
    Memo->setGeometry(8, below + 108, 356, 84);

    CopyPopup = new QMenu(this);
    CopyPopup->setObjectName(u"CopyPopup"_qs);
    auto menuItem = [this](const QString& text, const char* name, int tag) {
        QAction* action = CopyPopup->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setData(tag);
        return action;
    };
    NSubject = menuItem(u"件名にコピー"_qs, "NSubject", paSubject);
    NPlace = menuItem(u"場所にコピー"_qs, "NPlace", paPlace);
    NTimeSet = menuItem(u"時間に変換"_qs, "NTimeSet", paTime);
    NDate = menuItem(u"日付に変換"_qs, "NDate", paDate);
    CopyPopup->addSeparator()->setObjectName(u"N1"_qs);
    N2 = menuItem(u"まとめて変換"_qs, "N2", paAll);
    CopyPopup->addSeparator()->setObjectName(u"N3"_qs);
    NCopy = menuItem(u"コピー(&C)"_qs, "NCopy", kMemoMenuCopyTag);
    NCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    NCopy->setShortcutContext(Qt::WidgetShortcut);
    NPaste = menuItem(u"貼り付け(&V)"_qs, "NPaste", kMemoMenuPasteTag);
    NPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    NPaste->setShortcutContext(Qt::WidgetShortcut);

    const int mailTop = Memo->geometry().bottom() + 6;
    GroupBox1 = new QGroupBox(u"Becky連携"_qs, this);
    GroupBox1->setObjectName(u"GroupBox1"_qs);
    GroupBox1->setGeometry(8, mailTop, 356, 70);
    SetMailID = speed(u"←"_qs, "SetMailID", GroupBox1);
    SetMailID->setToolTip(u"現在のメールをリンクする"_qs);
    SetMailID->setGeometry(6, 18, 24, 22);
    MailSubject = new TBevelLabel(GroupBox1);
    MailSubject->setObjectName(u"MailSubject"_qs);
    MailSubject->SetLayout(tlCenter);
    MailSubject->setGeometry(32, 18, 270, 22);
    CheckMailBtn = speed(u"確認"_qs, "CheckMailBtn", GroupBox1);
    CheckMailBtn->setToolTip(u"現在のリンク先を確認"_qs);
    CheckMailBtn->setGeometry(306, 18, 44, 22);
    MailCheck = check(u"アラームと同時にメールを開く"_qs, "MailCheck", GroupBox1, 6, 44, 300);

    const int bottom = GroupBox1->geometry().bottom() + 8;
    MakeCopy = check(u"別の予定として登録"_qs, "MakeCopy", this, 8, bottom + 2, 180);
    OkBtn = new QPushButton(u"OK"_qs, this);
    OkBtn->setObjectName(u"OkBtn"_qs);
    OkBtn->setDefault(true);
    OkBtn->setGeometry(196, bottom, 80, 26);
    CancelBtn = new QPushButton(u"キャンセル"_qs, this);
    CancelBtn->setObjectName(u"CancelBtn"_qs);
    CancelBtn->setAutoDefault(false);
    CancelBtn->setGeometry(284, bottom, 80, 26);

    // --- Right column: repetition and its exclusions ---
    RepeatEnter = new QGroupBox(u"繰返し入力"_qs, this);
    RepeatEnter->setObjectName(u"RepeatEnter"_qs);
    RepeatEnter->setGeometry(378, 4, 236, 236);
    RepType = new TRadioGroup(u"繰返しパターン"_qs, RepeatEnter);
    RepType->setObjectName(u"RepType"_qs);
    RepType->SetColumns(2);
    RepType->SetItems({ u"毎日"_qs, u"毎週"_qs, u"毎月"_qs, u"毎年"_qs });
    RepType->setGeometry(6, 18, 224, 56);
    MonthOption = new TRadioGroup(QString(), RepeatEnter);
    MonthOption->setObjectName(u"MonthOption"_qs);
    MonthOption->SetColumns(2);
    MonthOption->SetItems({ u"1日"_qs, u"月末"_qs, u"週指定"_qs });
    MonthOption->setGeometry(6, 76, 224, 56);
    WeekList = weekGrid("WeekList", RepeatEnter, { u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs });
    QFont weekFont;
    gui::SetFontFamilies(weekFont, { u"Times New Roman" });
    weekFont.setBold(true);
    WeekList->setFont(weekFont);
    WeekList->setGeometry(6, 136, 150, 22);
    Label7 = label(u"週目の"_qs, RepeatEnter, 162, 136, 60);
    Label7->setObjectName(u"Label7"_qs);
    SelectWeek = weekGrid("SelectWeek", RepeatEnter, weekdays);
    SelectWeek->setGeometry(6, 162, 224, 22);
    LimitLabel = label(u"期限"_qs, RepeatEnter, 6, 188, 34);
    LimitDate = new TCheckDatePicker(RepeatEnter);
    LimitDate->setObjectName(u"LimitDate"_qs);
    LimitDate->Check->setObjectName(u"LimitDateCheck"_qs);
    LimitDate->Edit->setObjectName(u"LimitDateEdit"_qs);
    LimitDate->setGeometry(40, 188, 160, 22);
    ShiftDate = check(u"除外の時は前日へシフト"_qs, "ShiftDate", RepeatEnter, 6, 212, 224);

    GroupBox2 = new QGroupBox(u"繰返しの除外日"_qs, this);
    GroupBox2->setObjectName(u"GroupBox2"_qs);
    GroupBox2->setGeometry(378, 244, 236, 214);
    ExceptCheck = check(u"日付指定"_qs, "ExceptCheck", GroupBox2, 6, 18, 100);
    ExceptDatePicker = new TDatePicker(GroupBox2);
    ExceptDatePicker->setObjectName(u"ExceptDatePicker"_qs);
    ExceptDatePicker->setToolTip(u"除外日の選択"_qs);
    ExceptDatePicker->setGeometry(6, 42, 116, 22);
    ExceptDatePicker->SetDay(days::Today());
    AddExcept = speed(u"追加"_qs, "AddExcept", GroupBox2);
    AddExcept->setGeometry(126, 42, 48, 22);
    DelExcept = speed(u"削除"_qs, "DelExcept", GroupBox2);
    DelExcept->setGeometry(178, 42, 48, 22);
    DaysList = new QListWidget(GroupBox2);
    DaysList->setObjectName(u"DaysList"_qs);
    DaysList->setToolTip(u"繰返しの除外日リスト"_qs);
    DaysList->setSortingEnabled(true);
    DaysList->setGeometry(6, 68, 224, 84);
    NoHoliday = check(u"祝・祭日"_qs, "NoHoliday", GroupBox2, 6, 158, 100);
    NoLastDay = check(u"月末"_qs, "NoLastDay", GroupBox2, 110, 158, 100);
    ExceptWeek = weekGrid("ExceptWeek", GroupBox2, weekdays);
    ExceptWeek->setGeometry(6, 184, 224, 22);

    setFixedHeight(std::max(OkBtn->geometry().bottom(), GroupBox2->geometry().bottom()) + 8);
}

void TEnterForm::ConnectControls()
{
    // Handlers run from the event loop: nothing may escape them.
    auto guarded = [this](auto handler) {
        return [this, handler](auto&&...) {
            try {
                (this->*handler)();
            } catch (const std::exception& e) {
                msgdlg::ShowException(QString::fromLocal8Bit(e.what()), this);
            } catch (...) {
                msgdlg::ShowException(u"Unknown error"_qs, this);
            }
        };
    };
    connect(OkBtn, &QPushButton::clicked, this, guarded(&TEnterForm::OkBtnClick));
    connect(CancelBtn, &QPushButton::clicked, this, guarded(&TEnterForm::CancelBtnClick));
    connect(RepeatInput, &QCheckBox::toggled, this, guarded(&TEnterForm::RepeatInputClick));
    connect(RepType, &TRadioGroup::Click, this, guarded(&TEnterForm::RepTypeClick));
    connect(MonthOption, &TRadioGroup::Click, this, guarded(&TEnterForm::MonthOptionClick));
    connect(KeepDate, &QDateEdit::dateChanged, this, guarded(&TEnterForm::KeepDateChange));
    connect(NoTimeCheck, &QCheckBox::toggled, this, guarded(&TEnterForm::NoTimeCheckClick));
    connect(RangeGrid1, &TRangeGrid::OnSelectTime, this,
            guarded(&TEnterForm::RangeGrid1SelectTime));
    connect(BegUpDown, &TUpDown::OnClick, this, guarded(&TEnterForm::BegUpDownClick));
    connect(EndUpDown, &TUpDown::OnClick, this, guarded(&TEnterForm::EndUpDownClick));
    connect(Priority, &QComboBox::activated, this, guarded(&TEnterForm::PriorityChange));
    connect(AlermType, &QComboBox::activated, this, guarded(&TEnterForm::AlermTypeChange));
    connect(AlermTime, &TValueSpin::OnChange, this, guarded(&TEnterForm::AlermTimeChange));
    connect(ExceptCheck, &QCheckBox::toggled, this, guarded(&TEnterForm::ExceptCheckClick));
    connect(DaysList, &QListWidget::itemSelectionChanged, this,
            guarded(&TEnterForm::DaysListClick));
    connect(AddExcept, &QToolButton::clicked, this, guarded(&TEnterForm::AddExceptClick));
    connect(DelExcept, &QToolButton::clicked, this, guarded(&TEnterForm::DelExceptClick));
    connect(DefBtn, &QPushButton::clicked, this, guarded(&TEnterForm::DefBtnClick));
    connect(MemoEdit, &QToolButton::clicked, this, guarded(&TEnterForm::MemoEditClick));
    connect(SetMailID, &QToolButton::clicked, this, guarded(&TEnterForm::SetMailIDClick));
    connect(CheckMailBtn, &QToolButton::clicked, this, guarded(&TEnterForm::CheckMailBtnClick));
    connect(CopyPopup, &QMenu::aboutToShow, this, guarded(&TEnterForm::CopyPopupPopup));
    connect(Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { CopyPopup->popup(Memo->viewport()->mapToGlobal(pos)); });
    connect(CopyPopup, &QMenu::triggered, this, [this](QAction* action) {
        try {
            PopupMenuClick(action->data().toInt());
        } catch (const std::exception& e) {
            msgdlg::ShowException(QString::fromLocal8Bit(e.what()), this);
        } catch (...) {
            msgdlg::ShowException(u"Unknown error"_qs, this);
        }
    });
}

// ---------------------------------------------------------------------------
// Opening

void TEnterForm::SetCalendar(TWScheduler* calendar)
{
    calendar_ = calendar;
}

int TEnterForm::NewEvent(const TNewEventArgs& args)
{
    PrepareNewEvent(args);
    return RunModal();
}

int TEnterForm::EditEvent(PEventData item)
{
    if (!item)
        return mrCancel;
    PrepareEditEvent(item);
    return RunModal();
}

int TEnterForm::ShowEvent()
{
    FillControls();
    return RunModal();
}

int TEnterForm::RunModal()
{
    // With a host mail client the host's own windows stay usable, so that
    // the user can pick the mail to link while the dialog is open.
    setWindowModality(BuildVariant().HasHostMail() ? Qt::WindowModal : Qt::ApplicationModal);
    return exec();
}

void TEnterForm::PrepareNewEvent(const TNewEventArgs& args)
{
    edited_ = nullptr;
    setWindowTitle(u"新規スケジュール"_qs);
    MakeCopy->setChecked(false);
    MakeCopy->setEnabled(false);

    copy_ = TEventData {};
    copy_.LimitDate = -1;
    copy_.Repeat = 0;
    copy_.Subject = args.Subject;
    copy_.MailID = args.MailID;
    copy_.MailKey = args.MailKey;
    // The kind last chosen, never secret; none chosen gives a personal item.
    copy_.KindBits = std::max(DataKind->currentIndex(), 0) * 2;
    copy_.Priority = args.Priority;
    copy_.Memo = args.Memo;

    // A time, date or place in the subject or memo fills the item; the
    // subject comes first, so its time wins over one in the memo.
    const TNewEventFill fill = PrefillNewEvent(args.Subject, args.Memo, args.Date, days::Today());
    recognizerText_.clear();
    parsed_ = ParseText(args.Subject + "\r\n" + args.Memo);
    copy_.Date = fill.date;
    copy_.Place = fill.place;
    copy_.StartTime = fill.startTime;
    copy_.EndTime = fill.endTime;
    copy_.HasTime = fill.hasTime;
    FillControls();
}

void TEnterForm::PrepareEditEvent(PEventData item)
{
    edited_ = item;
    setWindowTitle(u"スケジュールの修正"_qs);
    MakeCopy->setEnabled(true);
    copy_ = *item;
    recognizerText_.clear();
    parsed_ = TParsedText {};
    FillControls();
}

void TEnterForm::FillControls()
{
    const bool wasFilling = filling_;
    filling_ = true;
    const TEventData& c = copy_;

    MakeCopy->setChecked(false);
    KeepDate->SetDay(c.Date);
    RepeatInput->setChecked(c.Repeat != 0);
    RepeatInputClick();

    if (c.LimitDate < 1) {
        LimitDate->SetDay(KeepDate->Day());
        LimitDate->SetChecked(false);
    } else {
        LimitDate->SetDay(c.LimitDate);
        LimitDate->SetChecked(true);
    }

    const recur::RepeatFields repeat = recur::Unpack(c.Repeat);
    NoHoliday->setChecked(repeat.skipHolidays);
    NoLastDay->setChecked(repeat.skipMonthEnd);
    ExceptWeek->SetBits(repeat.excludedWeekdays);
    ShiftDate->setChecked(repeat.shiftEarlier);
    RepType->SetItemIndex(static_cast<int>(*repeat.pattern));
    MonthOption->SetItemIndex(recur::HasMonthRule(repeat.pattern) ? IndexOf(repeat.monthRule) : -1);
    WeekList->SetBits(MonthOption->ItemIndex() == IndexOf(MonthRule::ByWeek) ? repeat.weeks : 0);
    SelectWeek->SetBits(repeat.useWeekdays ? repeat.weekdays : 0);

    NoTimeCheck->setChecked(!c.HasTime);
    if (c.HasTime) {
        RangeGrid1->SetBeginTime(c.StartTime);
        RangeGrid1->SetEndTime(c.EndTime);
    }
    NoTimeCheckClick();

    Subject->setEditText(qtext::ToQ(c.Subject));
    Place->setEditText(qtext::ToQ(c.Place));
    SelectKind(c.DataType);

    const int kind = c.KindBits >> 1;
    DataKind->setCurrentIndex(kind >= 0 && kind < DataKind->count() ? kind : -1);
    Priority->setCurrentIndex(c.Priority >= 0 && c.Priority < Priority->count() ? c.Priority : -1);
    DoCancel->setChecked(c.Cancelled);
    NoExport->setChecked(c.NoExport);
    TodoCheck->setEnabled(c.Priority == kPriorityDeadline);
    TodoCheck->setChecked(TodoCheck->isEnabled() && c.Done);
    Secret->setChecked(c.KindBits & 1);

    AlermType->setCurrentIndex(c.AlarmUnit >= 0 && c.AlarmUnit < AlermType->count() ? c.AlarmUnit
                                                                                    : -1);
    AlermTypeChange();
    AlermTime->SetValue(c.AlarmBefore);
    MailCheck->setChecked(c.OpenMail);
    Memo->setPlainText(qtext::ToQText(c.Memo));

    FillDaysList(c.ExceptDates);
    ExceptCheck->setChecked(DaysList->count() > 0);
    ExceptCheckClick();

    RangeGrid1SelectTime();
    RepTypeClick();
    AlermTimeChange();
    UpdateMailLink();
    filling_ = wasFilling;
}

void TEnterForm::SelectKind(const std::string& kind)
{
    DataType->setCurrentIndex(-1);
    // An item without a category selects none (an entry whose name happens
    // to be empty is no match for it).
    if (kind.empty())
        return;
    std::string name;
    TColor font = 0, back = 0;
    ParseKind(kind, name, font, back);
    const QString wanted = qtext::ToQ(name);
    const QString text = qtext::ToQ(kind);
    const bool kindHasColours = text.contains(u':');
    bool found = false;
    for (int i = 0; i < DataType->count(); ++i) {
        const QString entry = DataType->itemText(i);
        if (KindNameOf(entry) != wanted)
            continue;
        found = true;
        if (!(entry.contains(u':') && !kindHasColours))
            DataType->setItemText(i, text);
        DataType->setCurrentIndex(i);
    }
    if (!found) {
        DataType->addItem(text);
        DataType->setCurrentIndex(DataType->count() - 1);
    }
}

void TEnterForm::FillDaysList(const std::string& commaText)
{
    DaysList->clear();
    QStringList dates;
    for (const std::string& raw : sjis::ReadCommaText(commaText)) {
        const std::string item = sjis::Trim(raw);
        if (item.empty())
            continue;
        // Older files may write a date without leading zeros (2004/5/1);
        // the list keeps one form so that it sorts and finds duplicates.
        days::Day day = 0;
        const QString text =
            TryStrToDay(item, day) ? QString::fromStdString(days::Format(day)) : qtext::ToQ(item);
        if (!dates.contains(text))
            dates << text;
    }
    DaysList->addItems(dates);
}

std::string TEnterForm::DaysListText() const
{
    std::vector<std::string> items;
    for (int i = 0; i < DaysList->count(); ++i)
        items.push_back(qtext::FromQ(DaysList->item(i)->text()));
    return sjis::WriteCommaText(items);
}

// ---------------------------------------------------------------------------
// Lists that carry over

void TEnterForm::LoadLists(const TInitParam& param)
{
    Subject->clear();
    Subject->addItems(ReadList(param.Subject, false, kHistoryLength));
    Place->clear();
    Place->addItems(ReadList(param.Place, false, kHistoryLength));
    DataType->clear();
    DataType->addItems(ReadList(param.Types, true));
    DataType->setCurrentIndex(-1);
    DataKind->setCurrentIndex(
        param.LastKind >= 0 && param.LastKind < DataKind->count() ? param.LastKind : -1);
}

void TEnterForm::StoreLists(TInitParam& param) const
{
    param.Subject = sjis::WriteCommaText(SjisItems(Subject));
    param.Place = sjis::WriteCommaText(SjisItems(Place));
    param.Types = sjis::WriteCommaText(SjisItems(DataType));
    param.LastKind = std::max(DataKind->currentIndex(), 0);
}

QStringList TEnterForm::KindItems() const
{
    return ItemsOf(DataType);
}

void TEnterForm::SetKindItems(const QStringList& kinds)
{
    const QString previous =
        DataType->currentIndex() >= 0 ? KindNameOf(DataType->currentText()) : QString();
    DataType->clear();
    DataType->addItems(kinds);
    DataType->setCurrentIndex(-1);
    if (previous.isEmpty())
        return;
    for (int i = 0; i < DataType->count(); ++i) {
        if (KindNameOf(DataType->itemText(i)) == previous) {
            DataType->setCurrentIndex(i);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Commit

void TEnterForm::AddHistory(QComboBox* box, bool remember)
{
    const QString text = forms::TrimBlanks(QuoteToApostrophe(box->currentText()));
    if (text.isEmpty())
        return;
    if (!remember) {
        box->setEditText(text);
        return;
    }
    const std::string sjisText = qtext::FromQ(text);
    for (int i = box->count() - 1; i >= 0; --i) {
        if (sjis::EqualsNoCase(qtext::FromQ(box->itemText(i)), sjisText))
            box->removeItem(i);
    }
    box->insertItem(0, text);
    while (box->count() > kHistoryLength)
        box->removeItem(box->count() - 1);
    box->setCurrentIndex(0);
    box->setEditText(text);
}

recur::RepeatFields TEnterForm::RepeatChosen() const
{
    recur::RepeatFields repeat;
    repeat.pattern = PatternAt(RepType->ItemIndex());
    if (recur::HasMonthRule(repeat.pattern))
        repeat.monthRule = MonthRuleAt(MonthOption->ItemIndex());
    // The grids that the pattern and option hide are cleared.
    repeat.weeks = static_cast<recur::WeekSet>(WeekList->GetBits());
    repeat.weekdays = static_cast<recur::WeekdaySet>(SelectWeek->GetBits());
    repeat.useWeekdays = recur::AsksForWeekdays(repeat);
    repeat.excludedWeekdays = static_cast<recur::WeekdaySet>(ExceptWeek->GetBits());
    repeat.skipHolidays = NoHoliday->isChecked();
    repeat.skipMonthEnd = NoLastDay->isChecked();
    repeat.shiftEarlier = ShiftDate->isChecked();
    return repeat;
}

QWidget* TEnterForm::FocusFor(RepeatConflict conflict) const
{
    switch (conflict) {
    case RepeatConflict::NoPattern:
        return RepType->Button(0);
    case RepeatConflict::LastDayExcluded:
        return NoLastDay;
    case RepeatConflict::NoWeekday:
        return SelectWeek;
    case RepeatConflict::WeekdayChosenAndExcluded:
    case RepeatConflict::AllWeekdaysExcluded:
        return ExceptWeek;
    }
    return nullptr;
}

void TEnterForm::Refuse(RepeatConflict conflict)
{
    switch (conflict) {
    case RepeatConflict::NoPattern:
        msgdlg::Error(u"繰返しタイプを指定してください！"_qs, this);
        break;
    case RepeatConflict::LastDayExcluded:
        msgdlg::Error(u"月末指定に矛盾があります！"_qs, this);
        break;
    case RepeatConflict::NoWeekday:
        msgdlg::Warning(u"曜日を指定してください！"_qs, this);
        break;
    case RepeatConflict::WeekdayChosenAndExcluded:
        msgdlg::Warning(u"除外曜日と重複しています！"_qs, this);
        break;
    case RepeatConflict::AllWeekdaysExcluded:
        msgdlg::Warning(u"除外曜日に空きがありません！"_qs, this);
        break;
    }
    if (QWidget* control = FocusFor(conflict))
        control->setFocus();
}

void TEnterForm::OkBtnClick()
{
    // The histories are shown to anyone and stored in plain text: a secret
    // item's texts stay out of them.
    AddHistory(Subject, !Secret->isChecked());
    AddHistory(Place, !Secret->isChecked());
    if (Subject->currentText().isEmpty()) {
        done(mrCancel);
        return;
    }

    TEventData c = copy_;
    c.UpdateDate = days::Today();
    c.Exported = false;
    c.Date = KeepDate->Day();
    // A span before the ruler's start (the grid's initial -15..0, never
    // dragged) is no time: stored as such it would read back untimed.
    const int begin = RangeGrid1->BeginTime();
    const int end = RangeGrid1->EndTime();
    c.HasTime = !NoTimeCheck->isChecked() && begin >= 0 && begin < end;
    c.StartTime = c.HasTime ? begin : -1;
    c.EndTime = c.HasTime ? end : -1;
    c.LimitDate = -1;
    c.Repeat = 0;

    if (RepeatInput->isChecked()) {
        const recur::RepeatFields repeat = RepeatChosen();
        if (const std::optional<RepeatConflict> conflict = recur::Check(repeat))
            return Refuse(*conflict);
        c.Repeat = recur::Pack(repeat);
        if (LimitDate->Checked())
            c.LimitDate = LimitDate->Day();
    }

    c.Subject = QuoteToApostrophe(qtext::FromQ(Subject->currentText()));
    c.Place = QuoteToApostrophe(qtext::FromQ(Place->currentText()));
    c.DataType = DataType->currentIndex() >= 0
        ? QuoteToApostrophe(qtext::FromQ(DataType->currentText()))
        : "";
    // Without a kind chosen (an item from mail carries 4, which the list
    // has no entry for) the item keeps its own kind bits.
    const int kind = DataKind->currentIndex();
    c.KindBits = (Secret->isChecked() ? 1 : 0) | (kind >= 0 ? kind * 2 : (c.KindBits & ~1));
    if (Priority->currentIndex() >= 0)
        c.Priority = Priority->currentIndex();
    c.Cancelled = DoCancel->isChecked();
    c.NoExport = NoExport->isChecked();
    c.Done = TodoCheck->isChecked();
    c.OpenMail = MailCheck->isChecked();
    c.AlarmBefore = AlermTime->Value();
    if (AlermType->currentIndex() >= 0)
        c.AlarmUnit = AlermType->currentIndex();
    c.Memo = QuoteToApostrophe(qtext::FromQText(Memo->toPlainText()));
    c.ExceptDates = ExceptCheck->isChecked() ? DaysListText() : "";
    copy_ = c;

    if (calendar_) {
        // An item that left the store while the dialog was open (the host
        // can change the store meanwhile) is stored anew, not lost.
        if (MakeCopy->isChecked() || !edited_ || !calendar_->Store().Contains(edited_))
            calendar_->AddEvent(copy_);
        else
            calendar_->UpdateEvent(edited_, copy_);
    }
    done(mrOk);
}

void TEnterForm::CancelBtnClick()
{
    done(mrCancel);
}

void TEnterForm::done(int result)
{
    // Escape and the window's close give the cancelled result too.
    QDialog::done(result == QDialog::Rejected ? mrCancel : result);
    emit DialogClosed();
}

void TEnterForm::setVisible(bool visible)
{
    if (visible && !isVisible())
        Arrange();
    QDialog::setVisible(visible);
}

void TEnterForm::Arrange()
{
    if (QWidget* owner = parentWidget())
        screens::PlaceFrame(this, owner->window()->pos() + QPoint(64, 64));
    const bool mailLink = BuildVariant().HasHostMail();
    GroupBox1->setVisible(mailLink);
    QRect memo = Memo->geometry();
    memo.setBottom(mailLink ? GroupBox1->y() - 6 : GroupBox1->geometry().bottom());
    Memo->setGeometry(memo);
}

void TEnterForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A new item is typed from its subject on.
    if (!edited_)
        Subject->setFocus();
    AlermTimeChange();
    emit DialogShown();
}

// ---------------------------------------------------------------------------
// Enabling and visibility

bool TEnterForm::Shown(const QWidget* widget) const
{
    return widget->isVisibleTo(widget->parentWidget());
}

void TEnterForm::SetMonthOptionShown(bool shown)
{
    MonthOption->setVisible(shown);
}

void TEnterForm::RepeatInputClick()
{
    const bool on = RepeatInput->isChecked();
    const QRect column = RepeatEnter->geometry();
    setFixedWidth(on ? column.left() + column.width() + 10 : column.left() - 5);
    RepeatEnter->setVisible(on);
    GroupBox2->setVisible(on);
    if (on)
        KeepDateChange();
}

void TEnterForm::RepTypeClick()
{
    SetMonthOptionShown(recur::HasMonthRule(PatternAt(RepType->ItemIndex())));
    if (!Shown(MonthOption) || MonthOption->ItemIndex() < 0)
        MonthOption->SetItemIndex(IndexOf(MonthRule::SameDay));
    KeepDateChange();
}

void TEnterForm::KeepDateChange()
{
    const days::Day date = KeepDate->Day();
    const days::Ymd ymd = days::Decode(date);
    const std::optional<RepeatPattern> pattern = PatternAt(RepType->ItemIndex());
    if (pattern == RepeatPattern::Monthly)
        MonthOption->setTitle(QString::number(ymd.month) + u"月から"_qs);
    else if (pattern == RepeatPattern::Yearly)
        MonthOption->setTitle(u"毎年"_qs + QString::number(ymd.month) + u"月"_qs);
    else
        SetMonthOptionShown(false);
    MonthOption->SetItem(IndexOf(MonthRule::SameDay), QString::number(ymd.day) + u"日"_qs);
    // The fill sets the end of repetition itself, after the date.
    if (!filling_ && LimitDate->Checked() && LimitDate->Day() < date)
        LimitDate->SetDay(date);
    MonthOptionClick();
}

void TEnterForm::MonthOptionClick()
{
    const bool byWeek =
        Shown(MonthOption) && MonthOption->ItemIndex() == IndexOf(MonthRule::ByWeek);
    WeekList->setVisible(byWeek);
    Label7->setVisible(byWeek);
    SelectWeek->setVisible(PatternAt(RepType->ItemIndex()) == RepeatPattern::Weekly || byWeek);
    if (!Shown(WeekList))
        WeekList->SetBits(0);
    if (!Shown(SelectWeek))
        SelectWeek->SetBits(0);
}

void TEnterForm::NoTimeCheckClick()
{
    const bool timed = !NoTimeCheck->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*> { RangeGrid1, TimeLabel, Label3, BegUpDown, EndUpDown })
        control->setEnabled(timed);
    AlermTimeChange();
}

void TEnterForm::RangeGrid1SelectTime()
{
    const int begin = RangeGrid1->BeginTime();
    const int end = RangeGrid1->EndTime();
    BegUpDown->SetPosition(begin);
    EndUpDown->SetPosition(end);
    TimeLabel->SetCaption(TimeText(begin, end));
}

void TEnterForm::BegUpDownClick()
{
    RangeGrid1->SetBeginTime(BegUpDown->Position());
}

void TEnterForm::EndUpDownClick()
{
    RangeGrid1->SetEndTime(EndUpDown->Position());
}

void TEnterForm::PriorityChange()
{
    const bool deadline = Priority->currentIndex() == kPriorityDeadline;
    TodoCheck->setEnabled(deadline);
    if (!deadline)
        TodoCheck->setChecked(false);
}

void TEnterForm::AlermTypeChange()
{
    const int increment = AlermType->currentIndex() == 0 ? 5 : 1;
    AlermTime->SetIncrement(increment);
    if (AlermTime->Value() != 0)
        AlermTime->SetValue(increment);
}

void TEnterForm::AlermTimeChange()
{
    CheckMailBtn->setEnabled(!copy_.MailID.empty());
    MailCheck->setEnabled(AlermTime->Value() > 0 && CheckMailBtn->isEnabled());
}

void TEnterForm::ExceptCheckClick()
{
    const bool on = ExceptCheck->isChecked();
    ExceptDatePicker->setEnabled(on);
    AddExcept->setEnabled(on);
    DaysList->setEnabled(on);
    DaysListClick();
}

void TEnterForm::DaysListClick()
{
    DelExcept->setEnabled(ExceptCheck->isChecked() && !DaysList->selectedItems().isEmpty());
}

void TEnterForm::AddExceptClick()
{
    const QString text = QString::fromStdString(days::Format(ExceptDatePicker->Day()));
    if (DaysList->findItems(text, Qt::MatchExactly).isEmpty())
        DaysList->addItem(text);
}

void TEnterForm::DelExceptClick()
{
    const QList<QListWidgetItem*> selected = DaysList->selectedItems();
    for (QListWidgetItem* item : selected)
        delete DaysList->takeItem(DaysList->row(item));
    DaysListClick();
}

void TEnterForm::DefBtnClick()
{
    EditKinds(this);
}

void TEnterForm::EditKinds(QWidget* parent)
{
    TKindForm editor(parent);
    editor.SetKinds(KindItems());
    if (editor.exec() == QDialog::Accepted)
        SetKindItems(editor.Kinds());
}

void TEnterForm::MemoEditClick()
{
    TNoteForm editor(this);
    editor.move(MemoEdit->mapToGlobal(QPoint(0, 0)));
    const std::string text = editor.EditNote(qtext::FromQ(Subject->currentText()),
                                             qtext::FromQText(Memo->toPlainText()));
    Memo->setPlainText(qtext::ToQText(text));
}

// ---------------------------------------------------------------------------
// Mail link

void TEnterForm::UpdateMailLink()
{
    TBuildVariant& variant = BuildVariant();
    if (!variant.HasHostMail())
        return;
    MailSubject->SetCaption(qtext::ToQ(variant.CurrentMailSubject()));
    const std::string current = variant.CurrentMailID();
    SetMailID->setEnabled(!current.empty() && current != copy_.MailID);
}

void TEnterForm::SetMailIDClick()
{
    TBuildVariant& variant = BuildVariant();
    TMailLinkInfo mail;
    if (!variant.HasHostMail() || !variant.CurrentMailLink(mail))
        return;
    copy_.MailID = mail.MailID;
    copy_.MailKey = mail.MailKey;
    copy_.MailFolder.clear();
    if (Subject->currentText().isEmpty())
        Subject->setEditText(qtext::ToQ(mail.Subject));
    if (Memo->toPlainText().isEmpty())
        Memo->setPlainText(qtext::ToQText(mail.Text));
    Priority->setCurrentIndex(
        mail.Priority >= 0 && mail.Priority < Priority->count() ? mail.Priority : 0);
    PriorityChange();
    AlermTimeChange();
}

void TEnterForm::CheckMailBtnClick()
{
    TBuildVariant& variant = BuildVariant();
    if (variant.HasHostMail() && !copy_.MailID.empty())
        variant.OpenLinkedMail(copy_, this); // the copy is kept with OK
}

// ---------------------------------------------------------------------------
// Recognizer and the memo menu

void TEnterForm::CopyPopupPopup()
{
    QString selection = Memo->textCursor().selectedText();
    selection.replace(QChar::ParagraphSeparator, u'\n');
    recognizerText_ = qtext::FromQText(selection);
    parsed_ = ParseText(recognizerText_);
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const TMemoMenuState state =
        MemoMenuState(recognizerText_, parsed_, clip && clip->hasText() && !clip->text().isEmpty());
    NSubject->setEnabled(state.subject);
    NPlace->setEnabled(state.place);
    NTimeSet->setEnabled(state.time);
    NDate->setEnabled(state.date);
    N2->setEnabled(state.all);
    NCopy->setEnabled(state.copy);
    NPaste->setEnabled(state.paste);
}

void TEnterForm::PopupMenuClick(int tag)
{
    if (tag == kMemoMenuCopyTag) {
        clipboard::SetText(qtext::ToQ(recognizerText_));
        return;
    }
    if (tag == kMemoMenuPasteTag) {
        QString text = QApplication::clipboard()->text();
        text.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
        Memo->insertPlainText(text);
        return;
    }
    ApplyParsed(tag);
}

void TEnterForm::ApplyParsed(int kind)
{
    const TParsedChanges changes = ResolveParsed(parsed_, recognizerText_, kind, days::Today());
    if (changes.subject)
        Subject->setEditText(qtext::ToQText(*changes.subject));
    if (changes.place)
        Place->setEditText(qtext::ToQText(*changes.place));
    if (changes.noTime) {
        NoTimeCheck->setChecked(*changes.noTime);
        NoTimeCheckClick();
        if (!*changes.noTime) {
            RangeGrid1->SetBeginTime(changes.begin);
            RangeGrid1->SetEndTime(changes.end);
            RangeGrid1SelectTime();
        }
    }
    if (changes.date) {
        KeepDate->SetDay(*changes.date);
        KeepDateChange();
    }
}
