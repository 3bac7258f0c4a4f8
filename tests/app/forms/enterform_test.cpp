#include "app/forms/datepicker.h"
#include "app/forms/enterform.h"
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
#include "gui/qtext.h"
#include "gui/updown.h"
#include "modal_driver.h"
#include "support/dialog_script.h"
#include "support/repeatfields_print.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct RepeatSetup;

const days::Day kToday = days::Encode(2025, 6, 15); // a Sunday

class EnterFormTest : public ::testing::Test
{
public:
    EnterFormTest() : clock(days::MomentOf(kToday, 10 * 60))
    {
        form.SetCalendar(&calendar);
        form.ExceptDatePicker->SetDay(kToday);
    }

    // A new item with a subject on a day, the dialog shown.
    void OpenNew(const std::string& subject, days::Day date = kToday, const std::string& memo = {})
    {
        TNewEventArgs args;
        args.Subject = subject;
        args.Date = date;
        args.Memo = memo;
        form.PrepareNewEvent(args);
        form.show();
    }
    static TEventData Item(const std::string& subject = "x")
    {
        TEventData record;
        record.Subject = subject;
        record.Date = kToday;
        return record;
    }
    PEventData Add(const TEventData& record)
    {
        store.AddEvent(record, true);
        // The store sorts; the newest item has the highest identity.
        PEventData newest = nullptr;
        for (PEventData item : store.All())
            if (!newest || item->Id > newest->Id)
                newest = item;
        return newest;
    }
    void OpenEdit(PEventData item)
    {
        form.PrepareEditEvent(item);
        form.show();
    }
    void ClickOk() { QTest::mouseClick(form.OkBtn, Qt::LeftButton); }
    void ClickCell(TSelectGrid* grid, int col)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(col, 0).center());
    }
    // Pattern -1 leaves none chosen: the fill always picks one, so only a
    // cleared group gets there.
    void Repeat(int pattern)
    {
        if (!form.RepeatInput->isChecked())
            form.RepeatInput->click();
        if (pattern < 0)
            form.RepType->SetItemIndex(-1);
        else
            form.RepType->Button(pattern)->click();
    }
    void Enter(const RepeatSetup& setup);
    const TEventData& Only()
    {
        EXPECT_EQ(store.Count(), 1);
        return *store.Items(0);
    }
    void SetText(QComboBox* box, const QString& text)
    {
        // What typing gives (the key simulator knows no Japanese keys).
        box->lineEdit()->selectAll();
        box->lineEdit()->insert(text);
    }

    days::FixedClock clock;
    TWScheduler calendar;
    TSchedList& store = calendar.Store();
    TEnterForm form;
};

// Repetition settings, entered by clicking the controls. Grid cells count
// from 0 (Sunday, week 1).
struct RepeatSetup
{
    int pattern = 0;
    int option = -1; // MonthOption item
    std::vector<int> days = {}, weeks = {}, excluded = {};
    bool shift = false, holidays = false, monthEnd = false;
};

void EnterFormTest::Enter(const RepeatSetup& r)
{
    Repeat(r.pattern);
    if (r.option >= 0)
        form.MonthOption->Button(r.option)->click();
    for (int col : r.weeks)
        ClickCell(form.WeekList, col);
    for (int col : r.days)
        ClickCell(form.SelectWeek, col);
    for (int col : r.excluded)
        ClickCell(form.ExceptWeek, col);
    if (r.shift)
        form.ShiftDate->click();
    if (r.holidays)
        form.NoHoliday->click();
    if (r.monthEnd)
        form.NoLastDay->click();
}

TEST_F(EnterFormTest, RepeatSettingsAndUnchangedEditsGiveTheSameRecurrenceBack)
{
    using recur::MonthRule;
    using recur::RepeatPattern;
    const std::pair<RepeatSetup, recur::RepeatFields> cases[] = {
        { { .pattern = 1, .days = { 1, 3 } },
          { .pattern = RepeatPattern::Weekly,
            .weekdays = recur::Weekdays({ 2, 4 }),
            .useWeekdays = true } },
        { { .pattern = 2, .option = 2, .days = { 2 }, .weeks = { 1, 3 } },
          { .pattern = RepeatPattern::Monthly,
            .monthRule = MonthRule::ByWeek,
            .weekdays = recur::Weekdays({ 3 }),
            .useWeekdays = true,
            .weeks = recur::Weeks({ 2, 4 }) } },
        { { .pattern = 2, .option = 1 },
          { .pattern = RepeatPattern::Monthly, .monthRule = MonthRule::LastDay } },
        { { .pattern = 0, .excluded = { 0, 6 }, .shift = true },
          { .pattern = RepeatPattern::Daily,
            .excludedWeekdays = recur::Weekdays({ 1, 7 }),
            .shiftEarlier = true } },
        { { .pattern = 0, .holidays = true },
          { .pattern = RepeatPattern::Daily, .skipHolidays = true } },
    };
    for (const auto& [setup, repeat] : cases) {
        SCOPED_TRACE(setup.pattern);
        store.Clear();
        OpenNew("x");
        Enter(setup);
        ClickOk();
        EXPECT_EQ(form.result(), TEnterForm::mrOk);
        const TEventData first = Only();
        EXPECT_EQ(recur::Unpack(first.Repeat), repeat);

        OpenEdit(store.Items(0));
        ClickOk();
        EXPECT_EQ(form.result(), TEnterForm::mrOk);
        EXPECT_EQ(store.EventToLine(Only(), 1), store.EventToLine(first, 1));
    }
}

TEST_F(EnterFormTest, EachConflictShowsItsMessageAndKeepsTheInput)
{
    const std::tuple<RepeatSetup, const char*, msgdlg::Kind, QWidget*> cases[] = {
        { { .pattern = -1 },
          "繰返しタイプを指定してください！",
          msgdlg::Kind::Error,
          form.RepType->Button(0) },
        { { .pattern = 2, .option = 1, .monthEnd = true },
          "月末指定に矛盾があります！",
          msgdlg::Kind::Error,
          form.NoLastDay },
        { { .pattern = 1 }, "曜日を指定してください！", msgdlg::Kind::Warning, form.SelectWeek },
        { { .pattern = 1, .days = { 1, 3 }, .excluded = { 1 } },
          "除外曜日と重複しています！",
          msgdlg::Kind::Warning,
          form.ExceptWeek },
        { { .pattern = 0, .excluded = { 0, 1, 2, 3, 4, 5, 6 } },
          "除外曜日に空きがありません！",
          msgdlg::Kind::Warning,
          form.ExceptWeek },
    };
    for (const auto& [setup, text, kind, focus] : cases) {
        SCOPED_TRACE(text);
        OpenNew(SJ("定例会"));
        Enter(setup);
        const int pattern = form.RepType->ItemIndex();
        const int selected = form.SelectWeek->GetBits();
        const int excluded = form.ExceptWeek->GetBits();
        {
            DialogScript script;
            script.Press(msgdlg::Ok);
            ClickOk();
            ASSERT_EQ(script.shown().size(), 1u);
            EXPECT_EQ(script.shown()[0].text, QString::fromUtf8(text));
            EXPECT_EQ(script.shown()[0].kind, kind);
        }
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.focusWidget(), focus);
        EXPECT_EQ(store.Count(), 0);
        EXPECT_EQ(form.Subject->currentText(), u"定例会"_qs);
        EXPECT_TRUE(form.RepeatInput->isChecked());
        EXPECT_EQ(form.RepType->ItemIndex(), pattern);
        EXPECT_EQ(form.SelectWeek->GetBits(), selected);
        EXPECT_EQ(form.ExceptWeek->GetBits(), excluded);
        form.CancelBtn->click();
        EXPECT_EQ(form.result(), TEnterForm::mrCancel);
    }
    EXPECT_EQ(store.Count(), 0);
}

TEST_F(EnterFormTest, EmptySubjectStoresNothingButKeepsThePlace)
{
    form.Place->addItems({ u"本社"_qs, u"支社"_qs });
    OpenNew("");
    SetText(form.Place, u"支社"_qs);
    ClickOk();
    EXPECT_EQ(form.result(), TEnterForm::mrCancel);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(form.Place->itemText(0), u"支社"_qs);
    EXPECT_EQ(form.Place->count(), 2);
    EXPECT_EQ(form.Subject->count(), 0);

    // Blanks only are a subject: stored as typed, kept out of the history.
    OpenNew("");
    SetText(form.Subject, u"   "_qs);
    ClickOk();
    EXPECT_EQ(form.result(), TEnterForm::mrOk);
    EXPECT_EQ(Only().Subject, "   ");
    EXPECT_EQ(form.Subject->count(), 0);

    // Escape cancels with the same result.
    OpenNew("x");
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.result(), TEnterForm::mrCancel);
    EXPECT_EQ(store.Count(), 1);
}

TEST_F(EnterFormTest, StoredTextsHoldNoDoubleQuoteAndTheMemoHasCrLf)
{
    OpenNew("");
    SetText(form.Subject, u" 「\"A\"」会議 "_qs);
    SetText(form.Place, u"\"本社\""_qs);
    form.Memo->setPlainText(u"一行目 \"引用\"\n二行目"_qs);
    ClickOk();
    EXPECT_EQ(std::tie(Only().Subject, Only().Place, Only().Memo),
              std::make_tuple(SJ("「'A'」会議"), SJ("'本社'"), SJ("一行目 '引用'\r\n二行目")));
    EXPECT_EQ(form.Subject->itemText(0), u"「'A'」会議"_qs);

    // Back in the editor the lines show as lines.
    OpenEdit(store.Items(0));
    EXPECT_EQ(form.Memo->toPlainText(), u"一行目 '引用'\n二行目"_qs);
}

TEST_F(EnterFormTest, HistoriesKeepTwentyEntriesAndFoldOnlyAsciiLetters)
{
    for (int i = 1; i <= 21; ++i) {
        OpenNew("s" + std::to_string(i));
        ClickOk();
    }
    ASSERT_EQ(form.Subject->count(), 20);
    EXPECT_EQ(form.Subject->itemText(0), u"s21"_qs);
    EXPECT_EQ(form.Subject->itemText(19), u"s2"_qs); // s1 dropped

    // Another letter case moves the entry to the top in the new case.
    OpenNew("S5");
    ClickOk();
    EXPECT_EQ(form.Subject->count(), 20);
    EXPECT_EQ(form.Subject->itemText(0), u"S5"_qs);
    EXPECT_EQ(form.Subject->findText(u"s5"_qs, Qt::MatchFixedString | Qt::MatchCaseSensitive), -1);

    // "ア" and "ヂ" differ only in an ASCII letter's case in their trail bytes.
    form.Place->clear();
    for (const char* place : { "ア", "ヂ" }) {
        OpenNew("x");
        SetText(form.Place, QString::fromUtf8(place));
        ClickOk();
    }
    EXPECT_EQ(form.Place->count(), 2);
}

TEST_F(EnterFormTest, HistoryBoxKeepsTheTypedLetterCase)
{
    form.Subject->addItems({ u"ABC会議"_qs });
    OpenNew("");
    SetText(form.Subject, u"abc会議"_qs);
    QTest::keyClick(form.Subject->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(form.Subject->currentText(), u"abc会議"_qs);
    EXPECT_EQ(form.Subject->count(), 1);
}

TEST_F(EnterFormTest, StoredFieldsOfNewAndEditedItems)
{
    // Untimed, without an end of repetition, a two-line memo.
    OpenNew(SJ("定例"));
    Repeat(0);
    EXPECT_FALSE(form.LimitDate->Checked());
    // No time in the subject: the new item starts untimed.
    EXPECT_TRUE(form.NoTimeCheck->isChecked());
    EXPECT_FALSE(form.RangeGrid1->isEnabled());
    ClickOk();
    EXPECT_EQ(std::tie(Only().HasTime, Only().StartTime, Only().EndTime, Only().LimitDate),
              std::make_tuple(false, -1, -1, -1));

    // An item from mail (kind 4) keeps its kind through an edit, plus the
    // secret bit when the user sets it.
    TEventData mail = Item();
    mail.KindBits = 4;
    PEventData item = Add(mail);
    OpenEdit(item);
    EXPECT_EQ(form.DataKind->currentIndex(), -1);
    EXPECT_FALSE(form.LimitDate->Checked());
    EXPECT_EQ(form.LimitDate->Day(), kToday);
    ClickOk();
    EXPECT_EQ(item->KindBits, 4);
    OpenEdit(item);
    form.Secret->click();
    ClickOk();
    EXPECT_EQ(item->KindBits, 5);
    OpenEdit(item);
    form.DataKind->setCurrentIndex(1);
    form.Secret->click();
    ClickOk();
    EXPECT_EQ(item->KindBits, 2);

    // A done check belongs to deadlines only.
    item->Priority = 4;
    item->Done = true;
    OpenEdit(item);
    EXPECT_TRUE(form.TodoCheck->isEnabled() && form.TodoCheck->isChecked());
    form.Priority->setCurrentIndex(2);
    emit form.Priority->activated(2);
    EXPECT_FALSE(form.TodoCheck->isEnabled() || form.TodoCheck->isChecked());
    ClickOk();
    EXPECT_EQ(item->Priority, 2);
    EXPECT_FALSE(item->Done);

    // With the copy box the edited item stays as it was.
    const std::string before = store.EventToLine(*item, 1);
    const int count = store.Count();
    OpenEdit(item);
    SetText(form.Subject, u"copy"_qs);
    form.MakeCopy->click();
    ClickOk();
    EXPECT_EQ(store.Count(), count + 1);
    EXPECT_EQ(store.EventToLine(*item, 1), before);
}

TEST_F(EnterFormTest, TimesLimitAndAlarmUnits)
{
    OpenNew("meeting");
    form.NoTimeCheck->setChecked(false);
    // A span never dragged on the ruler (-15..0) is no time.
    EXPECT_EQ(form.RangeGrid1->BeginTime(), -15);
    ClickOk();
    EXPECT_FALSE(Only().HasTime);
    EXPECT_EQ(Only().StartTime, -1);

    store.Clear();
    OpenNew("meeting");
    form.NoTimeCheck->setChecked(false);
    form.RangeGrid1->SetBeginTime(9 * 60);
    form.RangeGrid1->SetEndTime(10 * 60 + 30);
    EXPECT_EQ(form.TimeLabel->Caption(), u"9:00 - 10:30"_qs);
    QTest::mouseClick(form.EndUpDown->UpButton(), Qt::LeftButton);
    EXPECT_EQ(form.RangeGrid1->EndTime(), 10 * 60 + 35);
    Repeat(0);
    form.LimitDate->SetChecked(true);
    form.LimitDate->SetDay(kToday + 30);
    // Moving the start past the end of repetition takes the end along.
    form.KeepDate->SetDay(kToday + 40);
    EXPECT_EQ(form.LimitDate->Day(), kToday + 40);
    form.AlermTime->SetValue(30);
    form.AlermType->setCurrentIndex(1);
    emit form.AlermType->activated(1);
    EXPECT_EQ(form.AlermTime->Value(), 1);
    ClickOk();
    const TEventData& item = Only();
    EXPECT_EQ(std::tie(item.HasTime, item.StartTime, item.EndTime, item.LimitDate),
              std::make_tuple(true, 540, 635, kToday + 40));
    EXPECT_EQ(std::tie(item.AlarmBefore, item.AlarmUnit), std::make_tuple(1, 1));
}

TEST_F(EnterFormTest, ExcludedDatesAreNormalisedSortedAndKeptForSeries)
{
    TEventData rec = Item();
    rec.Repeat = recur::Pack({ .pattern = recur::RepeatPattern::Daily });
    rec.ExceptDates = "2004/5/1,2003/12/31,2004/05/01";
    PEventData item = Add(rec);
    OpenEdit(item);
    ASSERT_EQ(form.DaysList->count(), 2);
    EXPECT_EQ(form.DaysList->item(0)->text(), u"2003/12/31"_qs);
    EXPECT_EQ(form.DaysList->item(1)->text(), u"2004/05/01"_qs);
    EXPECT_TRUE(form.ExceptCheck->isChecked());
    EXPECT_FALSE(form.DelExcept->isEnabled());
    form.DaysList->setCurrentRow(0);
    EXPECT_TRUE(form.DelExcept->isEnabled());
    form.DelExcept->click();
    form.ExceptDatePicker->SetDay(days::Encode(2003, 1, 2));
    form.AddExcept->click();
    form.AddExcept->click(); // listed already
    ClickOk();
    EXPECT_EQ(item->ExceptDates, "2003/01/02,2004/05/01");

    // A single item keeps none, as its record in the file has none.
    OpenEdit(item);
    form.RepeatInput->click();
    ClickOk();
    EXPECT_EQ(item->ExceptDates, "");
}

TEST_F(EnterFormTest, CategoryEntriesFollowTheItem)
{
    form.DataType->addItems({ u"会議:FF:"_qs, u"私用"_qs });
    TEventData rec = Item();
    rec.DataType = SJ("会議");
    PEventData bare = Add(rec);
    OpenEdit(bare);
    EXPECT_EQ(form.DataType->currentIndex(), 0);
    EXPECT_EQ(form.DataType->itemText(0), u"会議:FF:"_qs);
    ClickOk();
    EXPECT_EQ(bare->DataType, SJ("会議:FF:"));

    rec.DataType = SJ("私用:FF0000:");
    OpenEdit(Add(rec));
    EXPECT_EQ(form.DataType->currentIndex(), 1);
    EXPECT_EQ(form.DataType->itemText(1), u"私用:FF0000:"_qs);

    rec.DataType = SJ("出張:8000");
    OpenEdit(Add(rec));
    EXPECT_EQ(form.DataType->count(), 3);
    EXPECT_EQ(form.DataType->currentIndex(), 2);

    rec.DataType.clear();
    OpenEdit(Add(rec));
    EXPECT_EQ(form.DataType->currentIndex(), -1);
    ClickOk();

    // The closed box paints its entry on the entry's back colour.
    form.DataType->setCurrentIndex(2);
    form.DataType->setItemText(2, u"出張:0:FF00"_qs);
    const QImage shot = form.DataType->grab().toImage();
    EXPECT_EQ(shot.pixelColor(12, form.DataType->height() / 2), QColor(0, 0xFF, 0));

    // A new list keeps the selected entry by its name.
    form.SetKindItems({ u"新規:0:"_qs, u"私用"_qs, u"出張:FF:"_qs });
    EXPECT_EQ(form.DataType->currentIndex(), 2);
}

TEST_F(EnterFormTest, NewItemKindComesFromTheLastChoiceOrNone)
{
    TInitParam param;
    param.LoadFromFile("");
    param.Subject = "a,\"b c\"";
    param.Types = SJ("会議:FF:,\"say \"\"hi\"\"\"");
    param.LastKind = 5; // no such kind
    form.LoadLists(param);
    EXPECT_EQ(form.Subject->count(), 2);
    EXPECT_EQ(form.DataType->itemText(1), u"say 'hi'"_qs);
    EXPECT_EQ(form.DataKind->currentIndex(), -1);
    OpenNew("x");
    SetText(form.Place, u" 病院 "_qs);
    form.Secret->click();
    ClickOk();
    EXPECT_EQ(std::tie(Only().KindBits, Only().Place), std::make_tuple(1, SJ("病院")));

    form.DataKind->setCurrentIndex(1);
    TInitParam out;
    out.LoadFromFile("");
    form.StoreLists(out);
    EXPECT_EQ(out.LastKind, 1);
    // The secret item's subject and place stay out of the histories.
    EXPECT_EQ(std::tie(out.Subject, out.Place), std::make_tuple("a,\"b c\"", ""));
    EXPECT_EQ(out.Types, SJ("会議:FF:,\"say 'hi'\""));
}

TEST_F(EnterFormTest, AnItemThatLeftTheStoreIsStoredAnew)
{
    PEventData item = Add(Item());
    OpenEdit(item);
    store.DeleteEvent(item);
    SetText(form.Subject, u"changed"_qs);
    ClickOk();
    EXPECT_EQ(Only().Subject, "changed");
}

TEST_F(EnterFormTest, RepeatColumnAndMonthOptions)
{
    OpenNew("x", days::Encode(2025, 3, 7));
    const int narrow = form.width();
    form.RepeatInput->click();
    EXPECT_GT(form.width(), narrow + 200);
    EXPECT_FALSE(form.MonthOption->isVisible());
    form.RepType->Button(2)->click();
    EXPECT_EQ(form.MonthOption->title(), u"3月から"_qs);
    EXPECT_EQ(form.MonthOption->Item(0), u"7日"_qs);
    form.RepType->Button(3)->click();
    EXPECT_EQ(form.MonthOption->title(), u"毎年3月"_qs);
    form.MonthOption->Button(2)->click();
    ClickCell(form.SelectWeek, 5);
    // Leaving the week rule hides and clears its grids.
    form.RepType->Button(0)->click();
    EXPECT_FALSE(form.SelectWeek->isVisible());
    EXPECT_EQ(form.SelectWeek->GetBits(), 0);
    form.RepeatInput->click();
    EXPECT_EQ(form.width(), narrow);
}

// --- The recognizer in the dialog ---

TEST_F(EnterFormTest, NewItemIsPrefilledFromSubjectAndMemo)
{
    // A lone time in the subject, a date and a place in the memo.
    OpenNew(SJ("打合せ 10:00 3F会議室"), kToday, SJ("12/25 の件\r\n場所：本社 \"A\"棟"));
    EXPECT_EQ(form.Place->currentText(), u"本社 \"A\"棟"_qs);
    ClickOk();
    const TEventData& item = Only();
    EXPECT_EQ(std::tie(item.StartTime, item.EndTime, item.Date, item.Place),
              std::make_tuple(600, 615, days::Encode(2025, 12, 25), SJ("本社 'A'棟")));

    // A range in the subject wins over one in the memo.
    store.Clear();
    OpenNew(SJ("打合せ 10:00-11:00"), kToday, SJ("14:00-15:00"));
    EXPECT_EQ(form.RangeGrid1->BeginTime(), 600);
    EXPECT_EQ(form.RangeGrid1->EndTime(), 660);

    // No time in the text: untimed, on the given day; also when the date in
    // the text lies before the calendar's days.
    OpenNew(SJ("お知らせ"), kToday + 3);
    EXPECT_TRUE(form.NoTimeCheck->isChecked());
    EXPECT_EQ(form.KeepDate->Day(), kToday + 3);
    OpenNew(SJ("記念日 150/3/1"), kToday);
    EXPECT_EQ(form.KeepDate->Day(), kToday);
    ClickOk();
    EXPECT_EQ(Only().Date, kToday);
    EXPECT_FALSE(Only().HasTime);
}

TEST_F(EnterFormTest, MemoMenuEnablesByTheSelectionAndAppliesIt)
{
    OpenNew("x");
    form.Memo->setPlainText(u"連絡 会議室A\n12月25日 10時～12時 場所：本社\n"_qs);
    auto select = [this](const QString& text) {
        const int at = form.Memo->toPlainText().indexOf(text);
        QTextCursor cursor = form.Memo->textCursor();
        cursor.setPosition(at);
        cursor.setPosition(at + text.size(), QTextCursor::KeepAnchor);
        form.Memo->setTextCursor(cursor);
    };
    // The real menu pops up over the memo.
    auto popup = [this] {
        const QPoint at = form.Memo->viewport()->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                form.Memo->viewport()->mapToGlobal(at));
        QApplication::sendEvent(form.Memo->viewport(), &event);
        EXPECT_TRUE(form.CopyPopup->isVisible());
        std::vector<bool> state;
        for (QAction* a : { form.NSubject, form.NPlace, form.NTimeSet, form.NDate, form.N2,
                            form.NCopy, form.NPaste })
            state.push_back(a->isEnabled());
        return state;
    };
    QApplication::clipboard()->clear();
    select(u"会議室A"_qs);
    EXPECT_EQ(popup(), (std::vector<bool> { true, true, false, false, false, true, false }));
    form.NPlace->trigger();
    form.CopyPopup->close();
    EXPECT_EQ(form.Place->currentText(), u"会議室A"_qs);
    form.NCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), u"会議室A"_qs);

    select(u"12月25日 10時～12時 場所：本社"_qs);
    EXPECT_EQ(popup(), (std::vector<bool> { false, false, true, true, true, true, true }));
    form.N2->trigger();
    form.CopyPopup->close();
    EXPECT_EQ(form.Place->currentText(), u"本社"_qs);
    EXPECT_FALSE(form.NoTimeCheck->isChecked());
    EXPECT_EQ(form.TimeLabel->Caption(), u"10:00 - 12:00"_qs);
    EXPECT_EQ(form.KeepDate->Day(), days::Encode(2025, 12, 25));

    // Nothing selected: only paste, which replaces the selection.
    QTextCursor cursor = form.Memo->textCursor();
    cursor.setPosition(0);
    form.Memo->setTextCursor(cursor);
    EXPECT_EQ(popup(), (std::vector<bool> { false, false, false, false, false, false, true }));
    form.NPaste->trigger();
    form.CopyPopup->close();
    EXPECT_TRUE(form.Memo->toPlainText().startsWith(u"会議室A連絡"_qs));

    // Converting a selection without a time makes the item untimed.
    select(u"連絡"_qs);
    form.CopyPopupPopup();
    form.PopupMenuClick(paTime);
    EXPECT_TRUE(form.NoTimeCheck->isChecked());
}

// --- Dialogs opened from the entry dialog ---

TEST_F(EnterFormTest, CategoryEditorChangesTheListOnlyOnOk)
{
    form.DataType->addItems({ u"会議:FF:"_qs, u"私用"_qs });
    OpenNew("x");
    form.DataType->setCurrentIndex(1);
    {
        ModalDriver driver;
        driver.Then<TKindForm>([](TKindForm* editor) {
            EXPECT_EQ(editor->Kinds(), (QStringList { u"会議:FF:"_qs, u"私用"_qs }));
            editor->KindText->setText(u"来客"_qs);
            editor->AddBtn->click();
            editor->CancelBtn->click();
        });
        form.DefBtn->click();
    }
    EXPECT_EQ(form.KindItems(), (QStringList { u"会議:FF:"_qs, u"私用"_qs }));
    {
        ModalDriver driver;
        driver.Then<TKindForm>([](TKindForm* editor) {
            editor->KindText->setText(u"来客"_qs);
            editor->AddBtn->click();
            editor->SetBtn->click();
        });
        form.DefBtn->click();
    }
    ASSERT_EQ(form.DataType->count(), 3);
    EXPECT_TRUE(form.DataType->itemText(0).startsWith(u"来客:"_qs));
    EXPECT_EQ(form.DataType->currentText(), u"私用"_qs);
}

TEST_F(EnterFormTest, MemoEditorTakesTheMemoAndGivesItBack)
{
    OpenNew(SJ("件名"));
    form.Memo->setPlainText(u"前\n後"_qs);
    ModalDriver driver;
    driver.Then<TNoteForm>([](TNoteForm* note) {
        EXPECT_EQ(note->StatusPanel->text(), u"件名： 件名"_qs);
        EXPECT_EQ(note->Memo1->toPlainText(), u"前\n後"_qs);
        note->Memo1->setPlainText(u"新しい\nメモ"_qs);
        note->close();
    });
    form.MemoEdit->click();
    EXPECT_EQ(form.Memo->toPlainText(), u"新しい\nメモ"_qs);
    ClickOk();
    EXPECT_EQ(Only().Memo, SJ("新しい\r\nメモ"));
}

// A new item starts in the subject; an edit keeps the focus where it was.
TEST_F(EnterFormTest, NewItemPutsTheCursorInTheSubject)
{
    auto inSubject = [this] {
        return form.focusWidget() == form.Subject || form.focusWidget() == form.Subject->lineEdit();
    };
    OpenNew("");
    EXPECT_TRUE(inSubject());
    form.Place->setFocus();
    form.hide();
    OpenEdit(Add(Item()));
    EXPECT_EQ(form.focusWidget(), form.Place);
    form.hide();
    OpenNew("");
    EXPECT_TRUE(inSubject());
}

// A host mail client showing one mail.
struct HostVariant : TBuildVariant
{
    HostVariant() { SetBuildVariant(this); }
    ~HostVariant() override { SetBuildVariant(nullptr); }
    bool HasHostMail() const override { return true; }
    std::string CurrentMailID() override { return current; }
    std::string CurrentMailSubject() override { return SJ("ご案内"); }
    bool CurrentMailLink(TMailLinkInfo& out) override
    {
        out = { current, "<id>,5f00", SJ("ご案内"), SJ("本文\r\n二行"), 3 };
        return true;
    }
    bool OpenLinkedMail(TEventData& item, QWidget*) override
    {
        ++opened;
        item.MailID = "<m2>";
        return true;
    }
    std::string current = "<m1>";
    int opened = 0;
};

TEST_F(EnterFormTest, MailLinkGroupFollowsTheHost)
{
    OpenNew("");
    EXPECT_FALSE(form.GroupBox1->isVisible()); // the program build has no host
    // The memo takes the group's room: no empty band above the buttons.
    EXPECT_LE(form.OkBtn->y() - form.Memo->geometry().bottom(), 10);
    form.hide();

    HostVariant host;
    // Modal to the main window only, so the host stays usable.
    ModalDriver driver;
    driver.Then<TEnterForm>([](TEnterForm* dialog) {
        EXPECT_TRUE(dialog->GroupBox1->isVisible());
        EXPECT_LT(dialog->Memo->geometry().bottom(), dialog->GroupBox1->y());
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        dialog->CancelBtn->click();
    });
    EXPECT_EQ(form.NewEvent({}), TEnterForm::mrCancel);
    OpenNew("");
    EXPECT_EQ(form.MailSubject->Caption(), u"ご案内"_qs);
    EXPECT_TRUE(form.SetMailID->isEnabled());
    EXPECT_FALSE(form.CheckMailBtn->isEnabled());
    form.SetMailID->click();
    EXPECT_EQ(form.Memo->toPlainText(), u"本文\n二行"_qs);
    EXPECT_FALSE(form.MailCheck->isEnabled()); // no alarm yet
    form.AlermTime->SetValue(5);
    EXPECT_TRUE(form.MailCheck->isEnabled());
    form.CheckMailBtn->click();
    EXPECT_EQ(host.opened, 1);
    ClickOk();
    EXPECT_EQ(std::tie(Only().Subject, Only().MailID, Only().MailKey, Only().Priority),
              std::make_tuple(SJ("ご案内"), std::string("<m2>"), std::string("<id>,5f00"), 3));

    // The item's own mail is shown: nothing to link.
    OpenEdit(store.Items(0));
    host.current = "<m2>";
    form.UpdateMailLink();
    EXPECT_FALSE(form.SetMailID->isEnabled());
}

} // namespace
