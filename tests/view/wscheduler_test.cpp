// The calendar control without pixels: layout, sizes, navigation, ReadOnly,
// date parts, filters, the order of its events, alarms and the schedule
// file rewritten on every change.

#include "calendar_fixture.h"

#include "core/files.h"
#include "core/report.h"
#include "support/dialog_script.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QToolTip>

#include <algorithm>
#include <stdexcept>

using Events = std::vector<std::string>;

namespace {

std::string ReadFile(const QString& path)
{
    std::string data;
    files::ReadAll(path.toStdString(), data);
    return data;
}

} // namespace

TEST(WScheduler, LayoutAndSizes)
{
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    // Weeks from Monday, June 2026 begins on a Monday: the grid starts a
    // week earlier and the first's row is 2.
    cal.SetStartOfWeek(1);
    cal.SetCurrentDate(D(2026, 6, 1));
    EXPECT_EQ(cal.FirstCellDate(), D(2026, 5, 25));
    EXPECT_EQ(f.Selected(), (TGridCoord { 0, 2 }));
    EXPECT_EQ(cal.CellText(0, 0), U("月"));
    EXPECT_EQ(cal.CellDate(3, 0), -1);
    EXPECT_EQ(cal.CellText(6, 6), "5"); // 5 July
    // Weeks from Sunday, August 2026 begins on a Saturday.
    cal.SetStartOfWeek(0);
    cal.SetCurrentDate(D(2026, 8, 1));
    EXPECT_EQ(cal.FirstCellDate(), D(2026, 7, 26));
    EXPECT_EQ(f.Selected(), (TGridCoord { 6, 1 }));
    EXPECT_FALSE(cal.InShownMonth(D(2026, 7, 31)));

    // 700 pixels: seven columns of 99; thin weekend 68 each, the rest split
    // 111, 111, 111, 112, 112. Header: the event font's height + 4, a 9-point
    // font at 96 dots per inch being 12 pixels high; the six day rows share
    // the other 500 - 16 - 7 lines = 477 pixels, earlier rows the smaller
    // share.
    ASSERT_EQ(cal.logicalDpiY(), 96);
    QFont nine = cal.EventFont();
    nine.setPointSize(9);
    cal.SetEventFont(nine);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cal.ColWidths(c), 99);
    const std::vector<int> rowHeights { 16, 79, 79, 79, 80, 80, 80 };
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(cal.RowHeights(r), rowHeights[r]) << r;
    EXPECT_EQ(cal.MinRowHeight(), 79);
    cal.SetThinHoliday(true);
    const std::vector<int> thin { 68, 111, 111, 111, 112, 112, 68 };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(cal.ColWidths(c), thin[c]);
    cal.SetStartOfWeek(6); // the thin columns follow the weekdays
    EXPECT_EQ(cal.ColWidths(1), 68);
    EXPECT_EQ(cal.ColWidths(2), 111);
    QFont big = cal.EventFont();
    big.setPixelSize(30);
    cal.SetEventFont(big);
    EXPECT_EQ(cal.RowHeights(0), 34);

    // Week grid: one column, the rows share the height (Saturday and Sunday
    // thin), the first row decides whether lines fit.
    cal.SetGridType(gtWeekly);
    EXPECT_EQ(cal.ColCount(), 1);
    EXPECT_EQ(cal.FixedRows(), 0);
    EXPECT_EQ(cal.ColWidths(0), 700);
    // 500 - 7 lines = 493 pixels from Saturday: Saturday and Sunday
    // 493 * 4 / 25 * 5 / 8 = 48 each (a tenth in the stored layouts' integer
    // steps), the five weekdays share the other 397.
    const std::vector<int> weekRows { 48, 48, 79, 79, 79, 80, 80 };
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(cal.RowHeights(r), weekRows[r]) << r;
    EXPECT_EQ(cal.MinRowHeight(), 48);
}

TEST(WScheduler, NavigationDatePartsAndTheirEvents)
{
    CalendarFixture f(days::MomentOf(D(2026, 1, 31), 600));
    TWScheduler& cal = f.cal;
    f.events.clear();
    cal.MoveBy(0, 1);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 2, 28));
    EXPECT_EQ(f.events, (Events { "date 2026-02-28", "change" }));
    cal.SetCurrentDate(D(2026, 1, 10));
    cal.MoveBy(0, -1);
    EXPECT_EQ(cal.CurrentDate(), D(2025, 12, 10));
    cal.SetCurrentDate(D(2024, 2, 29));
    cal.MoveBy(1, 0);
    EXPECT_EQ(cal.CurrentDate(), D(2025, 2, 28));

    // A click on a day of the next month moves the date, not the month.
    cal.SetCurrentDate(D(2026, 4, 15));
    const TGridCoord grey = cal.DateCell(D(2026, 5, 2));
    f.events.clear();
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(grey.X, grey.Y).center());
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 2));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 4, 1));
    EXPECT_EQ(f.events, (Events { "date 2026-05-02" }));
    cal.MoveBy(0, 1);
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 5, 1));

    // Week grid: seven days a page and a new layout with OnChange each time.
    cal.SetGridType(gtWeekly);
    for (int i = 1; i <= 2; ++i) {
        f.events.clear();
        cal.MoveBy(0, 1);
        EXPECT_EQ(f.events,
                  (Events { "date " + days::FormatIso(D(2026, 5, 2) + 7 * i), "change" }));
        EXPECT_EQ(f.Selected(), (TGridCoord { 0, 6 }));
    }
    cal.SetGridType(gtMonthly);

    // Date parts: invalid and unchanged values change nothing; a month lays
    // out again; a day of the shown month only moves the selection.
    cal.SetCurrentDate(D(2026, 4, 30));
    f.events.clear();
    for (int v : { 1899, 0 })
        cal.SetYear(v);
    for (int v : { 13, 0, 4 })
        cal.SetMonth(v);
    for (int v : { 31, 30 })
        cal.SetDay(v);
    EXPECT_TRUE(f.events.empty());
    cal.SetMonth(2);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 2, 28));
    EXPECT_EQ(f.events, (Events { "date 2026-02-28", "change" }));
    f.events.clear();
    cal.SetDay(3);
    EXPECT_EQ(f.events, (Events { "date 2026-02-03" }));
    EXPECT_EQ(cal.DateCell(D(2026, 2, 3)), f.Selected());
    cal.SetYear(2027);
    EXPECT_EQ(days::Format(cal.CurrentDate()), "2027/02/03");
    EXPECT_EQ(cal.MonthLength(), 28);
}

TEST(WScheduler, KeysAndClicksObeyReadOnly)
{
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    f.Focus(true);
    // Arrows move through the days and stop at the grid's edges (never into
    // the header row, never to another page).
    cal.SetCurrentDate(D(2026, 6, 2));
    QTest::keyClick(&cal, Qt::Key_Right);
    QTest::keyClick(&cal, Qt::Key_Down);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 6, 10));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&cal, Qt::Key_Up);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(&cal, Qt::Key_Left);
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 31));
    EXPECT_EQ(f.Selected(), (TGridCoord { 0, 1 }));
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 6, 1));

    cal.SetReadOnly(true);
    QTest::keyClick(&cal, Qt::Key_Right);
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(4, 4).center());
    EXPECT_EQ(cal.CurrentDate(), D(2026, 5, 31));
    EXPECT_EQ(f.Selected(), (TGridCoord { 0, 1 }));
    // The program still moves date, layout and selection.
    for (days::Day d : { D(2026, 6, 18), D(2026, 9, 9) }) {
        cal.SetCurrentDate(d);
        EXPECT_EQ(cal.DateCell(d), f.Selected());
    }
    EXPECT_EQ(cal.FirstOfMonth(), D(2026, 9, 1));
    cal.SetReadOnly(false);
    QTest::mouseClick(cal.viewport(), Qt::LeftButton, {}, cal.CellRect(4, 4).center());
    EXPECT_EQ(cal.CurrentDate(), cal.CellDate(4, 4));
}

TEST(WScheduler, FiltersRaiseTheDateEventWhenTheyChange)
{
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    for (int kind : { 1, 2, 0 }) {
        TEventData e = Item("項目", D(2026, 6, 10));
        e.KindBits = kind; // secret, company, personal
        e.Priority = kind == 0 ? 4 : 3;
        e.Done = kind == 0;
        cal.AddEvent(e);
    }
    auto shown = [&] {
        cal.SelectCurrentDay();
        return cal.Store().DayEventCount();
    };
    f.events.clear();
    cal.SetKindMask(7); // unchanged: no event
    cal.SetDispKinds(KindSet(dkPersonal) | KindSet(dkOfficial));
    EXPECT_EQ(cal.GetKindMask(), 6);
    EXPECT_EQ(shown(), 2);
    cal.SetDispKinds(KindSet(dkSecret) | KindSet(dkPersonal));
    EXPECT_EQ(cal.GetKindMask(), 3);
    EXPECT_EQ(cal.DispKinds(), KindSet(dkSecret) | KindSet(dkPersonal));
    EXPECT_EQ(shown(), 2);
    cal.SetKindMask(7);
    cal.SetPriorityFilter(4);
    cal.SetPriorityFilter(4);
    EXPECT_EQ(shown(), 1);
    cal.SetPriorityFilter(-1);
    cal.SetDoneHide(true);
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(f.events, Events(6, "date 2026-06-10"));
}

TEST(WScheduler, EveryChangeRewritesTheScheduleFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Kalvero.sch");
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 600));
    TWScheduler& cal = f.cal;
    // No file loaded: the store changes, nothing is written.
    cal.AddEvent(Item("下書き", D(2026, 6, 11)));
    EXPECT_EQ(cal.Store().Count(), 1);
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(cal.LoadSchedule(path.toStdString())); // missing: empty
    EXPECT_EQ(cal.Store().Count(), 0);
    f.events.clear();
    TEventData meeting = Item("会議", D(2026, 6, 12), 600, 660);
    meeting.UpdateDate = 5;
    cal.AddEvent(meeting);
    EXPECT_NE(ReadFile(path).find(U("会議")), std::string::npos);
    EXPECT_EQ(f.Find("会議")->UpdateDate, D(2026, 6, 10));
    EXPECT_EQ(f.events, (Events { "date 2026-06-10" }));
    TEventData changed = *f.Find("会議");
    changed.Subject = U("打合せ");
    cal.UpdateEvent(f.Find("会議"), changed);
    std::string data = ReadFile(path);
    EXPECT_EQ(data.find(U("会議")), std::string::npos);
    EXPECT_NE(data.find(U("打合せ")), std::string::npos);
    cal.AddEvent(Item("昼食", D(2026, 6, 12), 720, 780));
    PEventData lunch = f.Find("昼食");
    cal.DeleteEvent(f.Find("打合せ"));
    data = ReadFile(path);
    EXPECT_EQ(data.find(U("打合せ")), std::string::npos);
    EXPECT_NE(data.find(U("昼食")), std::string::npos);
    // An item that has left the store is not updated.
    cal.DeleteEvent(lunch);
    cal.UpdateEvent(lunch, Item("幽霊", D(2026, 6, 12)));
    EXPECT_TRUE(ReadFile(path).empty());

    // A failed write keeps the change marked (the alarm check too), and the
    // next change writes both.
    const QString later = dir.filePath("later/Kalvero.sch");
    std::vector<std::string> reports;
    report::ScopedSink sink(
        [&](report::Kind, const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(cal.LoadSchedule(later.toStdString()));
    cal.AddEvent(Item("一件目", D(2026, 6, 10)));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(U("スケジュールが書き込めません!"), 0), 0u);
    cal.OnAlerm = [](TWScheduler*, PEventData) {};
    cal.CheckAlarms();
    EXPECT_TRUE(cal.Store().Modified);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("later")));
    cal.AddEvent(Item("二件目", D(2026, 6, 11)));
    data = ReadFile(later);
    EXPECT_NE(data.find(U("一件目")), std::string::npos);
    EXPECT_NE(data.find(U("二件目")), std::string::npos);
    EXPECT_FALSE(cal.Store().Modified);
}

TEST(WScheduler, AlarmsRingInOrderOnceAndWithoutNesting)
{
    // 09:55: two items at 10:00 with a five-minute alarm are due now.
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 9 * 60 + 55));
    TWScheduler& cal = f.cal;
    cal.AddEvent(Item("二番", D(2026, 6, 10), 600, 660, 5));
    cal.AddEvent(Item("一番", D(2026, 6, 10), 600, 660, 5));
    cal.AddEvent(Item("後で", D(2026, 6, 10), 700, 720, 5));
    cal.CheckAlarms(); // no handler: nothing
    EXPECT_FALSE(f.Find("一番")->Alarmed);

    Events rung;
    cal.OnAlerm = [&](TWScheduler* sender, PEventData e) {
        EXPECT_EQ(sender, &cal);
        EXPECT_TRUE(e->Alarmed);
        rung.push_back(sjis::ToUtf8(e->Subject));
        cal.CheckAlarms(); // the clock goes on while the alarm window is open
    };
    f.events.clear();
    const bool modified = cal.Store().Modified;
    cal.CheckAlarms();
    // Store order: by moment, then by subject.
    EXPECT_EQ(rung, (Events { "一番", "二番" }));
    EXPECT_EQ(f.events, (Events { "date 2026-06-10" }));
    EXPECT_EQ(cal.Store().Modified, modified);
    rung.clear();
    cal.CheckAlarms(); // rung once only
    EXPECT_TRUE(rung.empty());
    f.clock.Set(days::MomentOf(D(2026, 6, 10), 695));
    cal.CheckAlarms();
    EXPECT_EQ(rung, (Events { "後で" }));

    // An alarm outside the shown month raises no date event.
    cal.SetCurrentDate(D(2026, 8, 1));
    cal.AddEvent(Item("六月", D(2026, 6, 10), 800, 810, 5));
    f.clock.Set(days::MomentOf(D(2026, 6, 10), 795));
    f.events.clear();
    cal.CheckAlarms();
    EXPECT_EQ(rung.back(), "六月");
    EXPECT_TRUE(f.events.empty());
}

TEST(WScheduler, AlarmHandlersMayDeleteItemsThrowOrDeleteTheControl)
{
    CalendarFixture f(days::MomentOf(D(2026, 6, 10), 9 * 60 + 55));
    TWScheduler& cal = f.cal;
    for (const char* subject : { "甲", "乙", "丙" })
        cal.AddEvent(Item(subject, D(2026, 6, 10), 600, 660, 5));
    // The first handler deletes an item whose turn is still to come, and a
    // new item may take its place at once. Store order: 乙, 甲, 丙.
    Events rung;
    cal.OnAlerm = [&](TWScheduler* s, PEventData e) {
        rung.push_back(sjis::ToUtf8(e->Subject));
        if (rung.size() == 1) {
            s->DeleteEvent(f.Find("丙"));
            s->AddEvent(Item("丁", D(2026, 6, 11)));
        }
    };
    cal.CheckAlarms();
    EXPECT_EQ(rung, (Events { "乙", "甲" }));

    // A throwing handler: the error is shown, the other alarm still rings,
    // and the next check works.
    cal.AddEvent(Item("戊", D(2026, 6, 10), 610, 660, 15));
    cal.AddEvent(Item("己", D(2026, 6, 10), 610, 660, 15));
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
        EXPECT_EQ(script.messages()[0], u"boom."_qs);
    }
    EXPECT_EQ(rung, (Events { "己", "戊" }));
    cal.AddEvent(Item("庚", D(2026, 6, 10), 620, 660, 25));
    cal.CheckAlarms();
    EXPECT_EQ(rung.back(), "庚");

    // A handler that deletes the control itself ends the check quietly.
    auto* doomed = new TWScheduler;
    doomed->SetKindMask(7);
    doomed->AddEvent(Item("辛", D(2026, 6, 10), 600, 660, 5));
    doomed->AddEvent(Item("壬", D(2026, 6, 10), 600, 660, 5));
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
    CalendarFixture f(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = f.cal;
    ASSERT_TRUE(cal.LoadHolidays(rules.toStdString(), false));
    auto at = [&](days::Day d) {
        const TGridCoord c = cal.DateCell(d);
        return cal.CellRect(c.X, c.Y).center();
    };
    EXPECT_TRUE(cal.HintAt(at(D(2026, 5, 3))).isEmpty()); // hints off
    cal.SetMakeHint(true);
    EXPECT_EQ(cal.HintAt(at(D(2026, 5, 3))), u"記念\n憲法記念日"_qs); // rule order
    EXPECT_EQ(cal.HintAt(at(D(2026, 5, 4))), u"振替休日"_qs);
    EXPECT_TRUE(cal.HintAt(cal.CellRect(0, 0).center()).isEmpty()); // header
    QHelpEvent help(QEvent::ToolTip, at(D(2026, 5, 3)),
                    cal.viewport()->mapToGlobal(at(D(2026, 5, 3))));
    QApplication::sendEvent(cal.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), u"記念\n憲法記念日"_qs);
    QToolTip::hideText();
    // The day-off test of the store follows the rules as they are loaded.
    EXPECT_TRUE(cal.IsDayOff(D(2026, 5, 4)));
    const QString other = dir.filePath("other.hol");
    ASSERT_TRUE(files::WriteAtomic(other.toStdString(), U("5,5,0,1949,9999,0,こどもの日\r\n")));
    ASSERT_TRUE(cal.LoadHolidays(other.toStdString(), false));
    EXPECT_FALSE(cal.IsDayOff(D(2026, 5, 4)));
    EXPECT_TRUE(cal.IsDayOff(D(2026, 5, 5)));
    ASSERT_TRUE(cal.LoadHolidays(rules.toStdString(), true));
    // Week grid: only the date column gives hints.
    cal.SetCurrentDate(D(2026, 5, 3));
    cal.SetGridType(gtWeekly);
    const QRect r = cal.CellRect(0, 0);
    EXPECT_EQ(cal.HintAt(QPoint(r.left() + 10, r.center().y())), u"記念\n憲法記念日"_qs);
    EXPECT_TRUE(cal.HintAt(QPoint(cal.DateWidth() + 5, r.center().y())).isEmpty());
}
