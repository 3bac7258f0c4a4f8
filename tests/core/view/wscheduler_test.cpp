// The calendar control without pixels: layout, sizes, navigation, ReadOnly,
// date parts, filters, the order of its events, alarms and the schedule
// file rewritten on every change.

#include "core/view/wscheduler.h"

#include "core/files.h"
#include "core/report.h"
#include "core/sjis.h"
#include "support/dialog_script.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

std::string U(const char* utf8)
{
    return sjis::FromUtf8(utf8);
}

TEventData Item(const char* subject, days::Day date, int start = -1, int end = -1)
{
    TEventData e;
    e.Subject = U(subject);
    e.Date = date;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    e.KindBits = 0;
    return e;
}

// A calendar at a client size of 700 x 500 with a fixed clock.
struct Fixture
{
    days::FixedClock clock;
    TWScheduler cal;
    std::vector<std::string> events;

    explicit Fixture(days::Moment now) : clock(now)
    {
        cal.SetCurrentDate(days::DayOf(now));
        cal.SetBorderStyle(bsNone);
        cal.resize(700, 500);
        cal.show(); // resize events reach a shown widget only
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&cal));
        cal.SetKindMask(7);
        cal.OnChange = [this](TWScheduler*) { events.push_back("change"); };
        cal.OnChangeDate = [this](TWScheduler* s) {
            events.push_back("date " + days::FormatIso(s->CurrentDate()));
        };
    }

    PEventData Find(const char* subject)
    {
        for (PEventData e : cal.Store().All())
            if (e->Subject == U(subject))
                return e;
        return nullptr;
    }
};

std::string ReadFile(const QString& path)
{
    std::string data;
    files::ReadAll(path.toStdString(), data);
    return data;
}

} // namespace

TEST(WScheduler, MonthLayoutPlacesTheWeekStartAndSelection)
{
    Fixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    // June 2026 begins on a Monday. Weeks from Monday: the Monday a week
    // before is the first cell, so the current date's row is at least 2.
    cal.SetStartOfWeek(1);
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 6, 1));
    EXPECT_EQ(cal.MonthKey(), D(2026, 6, 1));
    EXPECT_EQ(cal.FirstCellDate(), D(2026, 5, 25));
    cal.SetCurrentDate(D(2026, 6, 1));
    EXPECT_EQ(cal.Col(), 0);
    EXPECT_EQ(cal.Row(), 2);
    EXPECT_EQ(cal.CellText(0, 0), U("月"));
    EXPECT_EQ(cal.CellText(6, 0), U("日"));
    EXPECT_EQ(cal.CellDate(3, 0), -1);
    EXPECT_EQ(cal.CellDate(6, 6), D(2026, 7, 5));
    EXPECT_EQ(cal.CellText(6, 6), "5");
    // Weeks from Sunday, August 2026 begins on a Saturday: the Sunday six
    // days before starts the grid.
    cal.SetStartOfWeek(0);
    cal.SetCurrentDate(D(2026, 8, 1));
    EXPECT_EQ(cal.FirstCellDate(), D(2026, 7, 26));
    EXPECT_EQ(cal.Col(), 6);
    EXPECT_EQ(cal.Row(), 1);
    EXPECT_TRUE(cal.InShownMonth(D(2026, 8, 31)));
    EXPECT_FALSE(cal.InShownMonth(D(2026, 7, 31)));
    EXPECT_EQ(cal.MonthLength(), 31);
}

TEST(WScheduler, CellSizesFollowTheClientArea)
{
    Fixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    ASSERT_EQ(cal.ClientWidth(), 700);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cal.ColWidths(c), 99) << c;
    const int header = cal.FontHeight(cal.EventFont()) + 4;
    EXPECT_EQ(cal.RowHeights(0), header);
    const int rest = 500 - header - 7;
    int sum = 0;
    for (int r = 1; r <= 6; ++r) {
        sum += cal.RowHeights(r);
        EXPECT_LE(cal.RowHeights(r), cal.RowHeights(std::min(r + 1, 6)));
    }
    EXPECT_EQ(sum, rest);
    EXPECT_EQ(cal.MinRowHeight(), rest / 6);

    cal.SetThinHoliday(true);
    const std::vector<int> thin { 68, 111, 111, 111, 112, 112, 68 };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cal.ColWidths(c), thin[c]) << c;
    // The thin columns follow the weekdays.
    cal.SetStartOfWeek(1);
    EXPECT_EQ(cal.ColWidths(5), 68);
    EXPECT_EQ(cal.ColWidths(6), 68);
    EXPECT_EQ(cal.ColWidths(0), 111);

    // A bigger event font makes a higher header row.
    QFont big = cal.EventFont();
    big.setPixelSize(30);
    cal.SetEventFont(big);
    EXPECT_EQ(cal.RowHeights(0), 34);

    // Week grid: one column over the whole width, the seven rows share the
    // height (thin weekend rows too), the first row is the smallest row.
    cal.SetGridType(gtWeekly);
    EXPECT_EQ(cal.ColCount(), 1);
    EXPECT_EQ(cal.FixedRows(), 0);
    EXPECT_EQ(cal.ColWidths(0), 700);
    const auto rows = cal.CalcColumnWidths(500);
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(cal.RowHeights(r), rows[r]);
    EXPECT_EQ(cal.RowHeights(5), rows[5]);
    EXPECT_LT(rows[5], rows[0]); // Saturday, with weeks from Monday
    EXPECT_EQ(cal.MinRowHeight(), rows[0]);
    cal.resize(700, 300);
    EXPECT_EQ(cal.MinRowHeight(), cal.CalcColumnWidths(300)[0]);
}

TEST(WScheduler, PageMovesAndDateParts)
{
    Fixture f(days::MomentOf(D(2026, 1, 31), 600));
    TWScheduler& cal = f.cal;
    f.events.clear();
    cal.MoveBy(0, 1);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 2, 28));
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-02-28", "change" }));
    cal.SetCurrentDate(D(2026, 1, 10));
    cal.MoveBy(0, -1);
    EXPECT_EQ(cal.CurrentDate(), D(2025, 12, 10));
    cal.SetCurrentDate(D(2024, 2, 29));
    cal.MoveBy(1, 0);
    EXPECT_EQ(cal.CurrentDate(), D(2025, 2, 28));

    // A click on a day of the next month (a grey cell) moves the date, not
    // the month; the next page starts from the shown month.
    cal.SetCurrentDate(D(2026, 4, 15));
    const TGridCoord grey = cal.DateCell(D(2026, 5, 2));
    ASSERT_TRUE(grey.Valid());
    f.events.clear();
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(grey.X, grey.Y).center());
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 2));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 4, 1));
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-05-02" }));
    cal.MoveBy(0, 1);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 2));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 5, 1));

    // Week grid: seven days a page, and a new layout with OnChange each time.
    cal.SetGridType(gtWeekly);
    for (int i = 1; i <= 3; ++i) {
        f.events.clear();
        cal.MoveBy(0, 1);
        EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 2) + 7 * i);
        EXPECT_EQ(f.events.back(), "change");
        EXPECT_EQ(cal.Col(), 0);
        EXPECT_EQ(cal.Row(), days::DayOfWeek(cal.CurrentDate()) - 1);
    }
    cal.SetGridType(gtMonthly);

    // Date parts: invalid and unchanged values change nothing.
    cal.SetCurrentDate(D(2026, 4, 30));
    f.events.clear();
    cal.SetYear(1899);
    cal.SetMonth(13);
    cal.SetMonth(0);
    cal.SetDay(31);
    cal.SetDay(30);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 4, 30));
    EXPECT_TRUE(f.events.empty());
    cal.SetMonth(2);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 2, 28));
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-02-28", "change" }));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 2, 1));
    // A day of the shown month: no new layout, but the selection follows.
    f.events.clear();
    cal.SetDay(3);
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-02-03" }));
    EXPECT_EQ(cal.DateCell(D(2026, 2, 3)), (TGridCoord { cal.Col(), cal.Row() }));
    cal.SetYear(2027);
    EXPECT_EQ(cal.Year(), 2027);
    EXPECT_EQ(cal.Month(), 2);
    EXPECT_EQ(cal.Day(), 3);
    EXPECT_EQ(f.events.back(), "change");
}

TEST(WScheduler, ReadOnlyStopsTheUserNotTheProgram)
{
    QWidget window;
    days::FixedClock clock(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler cal(&window);
    cal.SetBorderStyle(bsNone);
    cal.resize(700, 500);
    window.resize(700, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    cal.setFocus();

    // Arrow keys move the selection and the date, and stop at the grid's
    // edges (never into the header row, never to another month page).
    cal.SetCurrentDate(D(2026, 6, 2)); // a Tuesday in row 1
    ASSERT_EQ(cal.Row(), 1);
    QTest::keyClick(&cal, Qt::Key_Right);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 6, 3));
    QTest::keyClick(&cal, Qt::Key_Down);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 6, 10));
    QTest::keyClick(&cal, Qt::Key_Up);
    QTest::keyClick(&cal, Qt::Key_Up);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 6, 3));
    EXPECT_EQ(cal.Row(), 1);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(&cal, Qt::Key_Left);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 31));
    EXPECT_EQ(cal.Col(), 0);
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 6, 1));

    cal.SetReadOnly(true);
    QTest::keyClick(&cal, Qt::Key_Right);
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(4, 4).center());
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 31));
    EXPECT_EQ(cal.Col(), 0);
    EXPECT_EQ(cal.Row(), 1);
    // The program still moves it, within the month and to another month.
    cal.SetCurrentDate(D(2026, 6, 18));
    EXPECT_EQ(cal.DateCell(D(2026, 6, 18)), (TGridCoord { cal.Col(), cal.Row() }));
    cal.SetCurrentDate(D(2026, 9, 9));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 9, 1));
    EXPECT_EQ(cal.DateCell(D(2026, 9, 9)), (TGridCoord { cal.Col(), cal.Row() }));
    cal.MoveBy(0, 1);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 10, 9));

    cal.SetReadOnly(false);
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(4, 4).center());
    EXPECT_EQ(cal.CurrentDate(), cal.CellDate(4, 4));
}

TEST(WScheduler, FiltersRaiseTheDateEventOnlyWhenChanged)
{
    Fixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    TEventData secret = Item("秘密", D(2026, 6, 10));
    secret.KindBits = 1;
    TEventData office = Item("会社", D(2026, 6, 10));
    office.KindBits = 2;
    office.Priority = 3;
    TEventData todo = Item("期限", D(2026, 6, 10));
    todo.Priority = 4;
    todo.Done = true;
    cal.AddEvent(secret);
    cal.AddEvent(office);
    cal.AddEvent(todo);
    auto shown = [&] {
        cal.SelectCurrentDay();
        return cal.Store().DayEventCount();
    };

    f.events.clear();
    cal.SetKindMask(7);
    EXPECT_TRUE(f.events.empty());
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(cal.DispKinds(), KindSet(dkPersonal) | KindSet(dkOfficial) | KindSet(dkSecret));
    cal.SetDispKinds(KindSet(dkPersonal) | KindSet(dkOfficial));
    EXPECT_EQ(cal.GetKindMask(), 6);
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-06-10" }));
    EXPECT_EQ(shown(), 2);
    cal.SetDispKinds(KindSet(dkSecret) | KindSet(dkPersonal));
    EXPECT_EQ(cal.GetKindMask(), 3);
    EXPECT_EQ(shown(), 2); // the company item is hidden now
    cal.SetKindMask(7);

    f.events.clear();
    cal.SetPriorityFilter(3);
    cal.SetPriorityFilter(3);
    EXPECT_EQ(f.events.size(), 1u);
    EXPECT_EQ(shown(), 2);
    cal.SetPriorityFilter(-1);
    cal.SetDoneHide(true);
    EXPECT_EQ(shown(), 2);
    cal.SetDoneHide(false);
    EXPECT_EQ(shown(), 3);
    EXPECT_EQ(f.events.size(), 4u);

    cal.SetDispEvent3(true);
    EXPECT_TRUE(cal.Holidays().DispEvent3);
}

TEST(WScheduler, EveryChangeRewritesTheScheduleFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Kalvero.sch");
    Fixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;

    // No file loaded: the store changes, nothing is written.
    cal.AddEvent(Item("下書き", D(2026, 6, 11)));
    EXPECT_EQ(cal.Store().Count(), 1);
    EXPECT_TRUE(cal.SaveSchedule());
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(cal.LoadSchedule(path.toStdString())); // missing: an empty store
    EXPECT_EQ(cal.Store().Count(), 0);
    f.events.clear();
    TEventData meeting = Item("会議", D(2026, 6, 12), 600, 660);
    meeting.UpdateDate = 5;
    cal.AddEvent(meeting);
    EXPECT_NE(ReadFile(path).find(U("会議")), std::string::npos);
    EXPECT_FALSE(cal.Store().Modified);
    PEventData stored = f.Find("会議");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->UpdateDate, D(2026, 6, 10));
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-06-10" }));

    TEventData changed = *stored;
    changed.Subject = U("打合せ");
    cal.UpdateEvent(stored, changed);
    std::string data = ReadFile(path);
    EXPECT_EQ(data.find(U("会議")), std::string::npos);
    EXPECT_NE(data.find(U("打合せ")), std::string::npos);

    cal.AddEvent(Item("昼食", D(2026, 6, 12), 720, 780));
    data = ReadFile(path);
    EXPECT_EQ(std::count(data.begin(), data.end(), '\n'), 2);
    cal.DeleteEvent(f.Find("打合せ"));
    data = ReadFile(path);
    EXPECT_EQ(data.find(U("打合せ")), std::string::npos);
    EXPECT_NE(data.find(U("昼食")), std::string::npos);

    // An item that has left the store is not updated (and nothing breaks).
    TEventData gone = Item("幽霊", D(2026, 6, 12));
    PEventData lunch = f.Find("昼食");
    cal.DeleteEvent(lunch);
    cal.UpdateEvent(lunch, gone);
    EXPECT_EQ(cal.Store().Count(), 0);

    // Reloading reads what was written.
    cal.AddEvent(Item("再読込", D(2026, 6, 20)));
    TWScheduler other;
    ASSERT_TRUE(other.LoadSchedule(path.toStdString()));
    ASSERT_EQ(other.Store().Count(), 1);
    EXPECT_EQ(other.Store().Items(0)->Subject, U("再読込"));
}

TEST(WScheduler, AFailedWriteIsRetriedByTheNextChange)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("later");
    const QString path = folder + "/Kalvero.sch";
    std::vector<std::string> reports;
    report::ScopedSink sink(
        [&](report::Kind, const std::string& text) { reports.push_back(text); });
    Fixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    ASSERT_TRUE(cal.LoadSchedule(path.toStdString()));

    cal.AddEvent(Item("一件目", D(2026, 6, 10)));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(U("スケジュールが書き込めません!"), 0), 0u);
    EXPECT_TRUE(cal.Store().Modified);
    // The alarm check keeps the pending change.
    cal.OnAlerm = [](TWScheduler*, PEventData) {};
    cal.CheckAlarms();
    EXPECT_TRUE(cal.Store().Modified);

    ASSERT_TRUE(QDir().mkpath(folder));
    cal.AddEvent(Item("二件目", D(2026, 6, 11)));
    const std::string data = ReadFile(path);
    EXPECT_NE(data.find(U("一件目")), std::string::npos);
    EXPECT_NE(data.find(U("二件目")), std::string::npos);
    EXPECT_FALSE(cal.Store().Modified);
}

TEST(WScheduler, AlarmsRingInOrderOnceAndWithoutNesting)
{
    // 09:55: two items at 10:00 with a five-minute alarm are due now.
    Fixture f(days::MomentOf(D(2026, 6, 10), 9 * 60 + 55));
    TWScheduler& cal = f.cal;
    for (const char* subject : { "二番", "一番" }) {
        TEventData e = Item(subject, D(2026, 6, 10), 600, 660);
        e.AlarmBefore = 5;
        e.AlarmUnit = 0;
        cal.AddEvent(e);
    }
    TEventData later = Item("後で", D(2026, 6, 10), 700, 720);
    later.AlarmBefore = 5;
    cal.AddEvent(later);

    // Without a handler nothing happens.
    cal.CheckAlarms();
    EXPECT_FALSE(f.Find("一番")->Alarmed);

    std::vector<std::string> rung;
    int nested = 0;
    cal.OnAlerm = [&](TWScheduler* sender, PEventData e) {
        EXPECT_EQ(sender, &cal);
        EXPECT_TRUE(e->Alarmed);
        rung.push_back(sjis::ToUtf8(e->Subject));
        // The clock goes on while the alarm window is open.
        cal.CheckAlarms();
        ++nested;
    };
    f.events.clear();
    const bool modified = cal.Store().Modified;
    cal.CheckAlarms();
    // Store order: by moment, then by subject.
    EXPECT_EQ(rung, (std::vector<std::string> { "一番", "二番" }));
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(f.events, (std::vector<std::string> { "date 2026-06-10" }));
    EXPECT_EQ(cal.Store().Modified, modified);
    // Once rung, an alarm does not ring again.
    rung.clear();
    cal.CheckAlarms();
    EXPECT_TRUE(rung.empty());
    f.clock.Set(days::MomentOf(D(2026, 6, 10), 700 - 5));
    cal.CheckAlarms();
    EXPECT_EQ(rung, (std::vector<std::string> { "後で" }));

    // An alarm of a month not shown raises no date event.
    cal.SetCurrentDate(D(2026, 8, 1));
    TEventData july = Item("七月", D(2026, 6, 10), 800, 810);
    july.AlarmBefore = 5;
    cal.AddEvent(july);
    f.clock.Set(days::MomentOf(D(2026, 6, 10), 795));
    rung.clear();
    f.events.clear();
    cal.CheckAlarms();
    EXPECT_EQ(rung, (std::vector<std::string> { "七月" }));
    EXPECT_TRUE(f.events.empty());
}

TEST(WScheduler, AlarmHandlersMayDeleteItemsOrThrow)
{
    Fixture f(days::MomentOf(D(2026, 6, 10), 9 * 60 + 55));
    TWScheduler& cal = f.cal;
    for (const char* subject : { "甲", "乙", "丙" }) {
        TEventData e = Item(subject, D(2026, 6, 10), 600, 660);
        e.AlarmBefore = 5;
        cal.AddEvent(e);
    }
    // The first handler deletes an item whose turn is still to come (as a
    // modal window's event loop may let the user do). Store order is 乙, 甲,
    // 丙 (by Shift_JIS bytes).
    std::vector<std::string> rung;
    cal.OnAlerm = [&](TWScheduler* s, PEventData e) {
        rung.push_back(sjis::ToUtf8(e->Subject));
        if (rung.size() == 1) {
            s->DeleteEvent(f.Find("丙"));
            // Its place may be taken by a new item at once.
            s->AddEvent(Item("丁", D(2026, 6, 11)));
        }
    };
    cal.CheckAlarms();
    EXPECT_EQ(rung, (std::vector<std::string> { "乙", "甲" }));

    // A throwing handler: the error is shown, the other alarms still ring,
    // and the next check works.
    for (const char* subject : { "戊", "己" }) {
        TEventData e = Item(subject, D(2026, 6, 10), 610, 660);
        e.AlarmBefore = 15;
        cal.AddEvent(e);
    }
    rung.clear();
    cal.OnAlerm = [&](TWScheduler*, PEventData e) {
        rung.push_back(sjis::ToUtf8(e->Subject));
        if (e->Subject == U("己"))
            throw std::runtime_error("boom");
    };
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        cal.CheckAlarms();
        ASSERT_EQ(script.messages().size(), 1u);
        EXPECT_TRUE(script.messages()[0].contains(u"boom"_qs));
    }
    EXPECT_EQ(rung, (std::vector<std::string> { "己", "戊" }));
    TEventData e = Item("庚", D(2026, 6, 10), 620, 660);
    e.AlarmBefore = 25;
    cal.AddEvent(e);
    rung.clear();
    cal.CheckAlarms();
    EXPECT_EQ(rung, (std::vector<std::string> { "庚" }));

    // A handler that deletes the control itself ends the check quietly.
    auto* doomed = new TWScheduler;
    doomed->SetKindMask(7);
    TEventData g = Item("辛", D(2026, 6, 10), 600, 660);
    g.AlarmBefore = 5;
    doomed->AddEvent(g);
    doomed->AddEvent(g);
    int calls = 0;
    doomed->OnAlerm = [&](TWScheduler* s, PEventData) {
        ++calls;
        delete s;
    };
    doomed->CheckAlarms();
    EXPECT_EQ(calls, 1);
}

TEST(WScheduler, HintsNameTheHolidaysUnderTheMouse)
{
    QTemporaryDir dir;
    const QString rules = dir.filePath("test.hol");
    ASSERT_TRUE(files::WriteAtomic(
        rules.toStdString(), U("5,3,0,1949,9999,0,憲法記念日\r\n5,3,0,2000,9999,5,記念\r\n")));
    Fixture f(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = f.cal;
    ASSERT_TRUE(cal.LoadHolidays(rules.toStdString(), false));
    const TGridCoord may3 = cal.DateCell(D(2026, 5, 3));
    const QPoint at = cal.CellRect(may3.X, may3.Y).center();
    EXPECT_TRUE(cal.HintAt(at).isEmpty()); // hints off
    cal.SetMakeHint(true);
    // Rule order: by day, then kind descending.
    EXPECT_EQ(cal.HintAt(at), u"記念\n憲法記念日"_qs);
    EXPECT_TRUE(cal.HintAt(cal.CellRect(may3.X, 0).center()).isEmpty()); // header
    // The Monday after a Sunday holiday.
    const TGridCoord may4 = cal.DateCell(D(2026, 5, 4));
    EXPECT_EQ(cal.HintAt(cal.CellRect(may4.X, may4.Y).center()), u"振替休日"_qs);
    EXPECT_TRUE(cal.IsDayOff(D(2026, 5, 4)));
    EXPECT_FALSE(cal.IsDayOff(D(2026, 5, 5)));
    // New rules give new answers.
    const QString other = dir.filePath("other.hol");
    ASSERT_TRUE(files::WriteAtomic(other.toStdString(), U("5,5,0,1949,9999,0,こどもの日\r\n")));
    ASSERT_TRUE(cal.LoadHolidays(other.toStdString(), true));
    EXPECT_TRUE(cal.IsDayOff(D(2026, 5, 5)));
    ASSERT_TRUE(cal.LoadHolidays(other.toStdString(), false));
    EXPECT_FALSE(cal.IsDayOff(D(2026, 5, 4)));
    EXPECT_FALSE(cal.IsDayOff(D(2026, 5, 3)));
    ASSERT_TRUE(cal.LoadHolidays(rules.toStdString(), false));

    // The tooltip event shows the hint.
    QHelpEvent help(QEvent::ToolTip, at, cal.viewport()->mapToGlobal(at));
    QApplication::sendEvent(cal.viewport(), &help);
    EXPECT_TRUE(QToolTip::text().contains(u"憲法記念日"_qs));
    QToolTip::hideText();

    // Week grid: only the date column gives hints.
    cal.SetCurrentDate(D(2026, 5, 3));
    cal.SetGridType(gtWeekly);
    const TGridCoord row = cal.DateCell(D(2026, 5, 3));
    const QRect r = cal.CellRect(row.X, row.Y);
    EXPECT_TRUE(cal.HintAt(QPoint(r.left() + 10, r.center().y())).contains(u"憲法記念日"_qs));
    EXPECT_TRUE(cal.HintAt(QPoint(cal.DateWidth() + 5, r.center().y())).isEmpty());
}
