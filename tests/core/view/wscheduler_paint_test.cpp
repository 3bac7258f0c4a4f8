// Painting of the calendar control: offscreen renders of a month and a week
// with the shipped holiday file, checked by the render model of each cell
// and by sampled pixels (fills and extents, never glyph shapes).

#include "core/view/wscheduler.h"

#include "core/files.h"
#include "core/sjis.h"
#include "support/dialog_script.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

using calpaint::CellModel;
using calpaint::TextRole;

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

std::string U(const char* utf8)
{
    return sjis::FromUtf8(utf8);
}

QColor Rgb(TColor c)
{
    return colors::ToQColor(c);
}

TEventData Item(const char* subject, days::Day date, int start = -1, int end = -1)
{
    TEventData e;
    e.Subject = U(subject);
    e.Date = date;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    return e;
}

// A shown calendar (inside a window, so that focus can come and go) with the
// shipped holiday file and fixed fonts.
struct Calendar
{
    days::FixedClock clock;
    QWidget window;
    TWScheduler* cal;

    explicit Calendar(days::Moment now) : clock(now)
    {
        cal = new TWScheduler(&window);
        cal->SetBorderStyle(bsNone);
        cal->SetColor(colors::clWhite);
        cal->SetTodayColor(0xE0FFFF);
        cal->SetKindMask(7);
        QFont dateFont = cal->font();
        dateFont.setPixelSize(24);
        cal->SetDateFont(dateFont);
        QFont eventFont = cal->font();
        eventFont.setPixelSize(12);
        cal->SetEventFont(eventFont, colors::clBlack);
        EXPECT_TRUE(cal->LoadHolidays(KALVERO_SOURCE_DIR "/data/Kalvero.hol", false));
        cal->SetCurrentDate(days::DayOf(now));
        cal->resize(840, 720);
        window.resize(900, 760);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    CellModel At(days::Day date)
    {
        const TGridCoord c = cal->DateCell(date);
        EXPECT_TRUE(c.Valid()) << days::FormatIso(date);
        return cal->CellModel(c.X, c.Y, cal->CellState(c.X, c.Y));
    }
    QImage Shot() { return cal->viewport()->grab().toImage(); }
    void Focus(bool on)
    {
        if (on) {
            window.activateWindow();
            cal->setFocus();
            EXPECT_TRUE(QTest::qWaitFor([&] { return cal->hasFocus(); }));
        } else {
            cal->clearFocus();
        }
    }
};

// A point near the bottom left corner of a cell, inside the frame, where in
// marks mode nothing but the background is painted.
QPoint Ground(const CellModel& m)
{
    return m.content.bottomLeft() + QPoint(4, -4);
}

} // namespace

TEST(WSchedulerPaint, MonthBackgroundsFramesAndMarks)
{
    Calendar c(days::MomentOf(D(2026, 5, 13), 600)); // a Wednesday
    TWScheduler& cal = *c.cal;
    TEventData due = Item("会議", D(2026, 5, 13), 660, 720);
    due.AlarmBefore = 30; // pending until 10:30
    cal.AddEvent(due);
    cal.AddEvent(Item("昼食", D(2026, 5, 13), 720, 780));
    for (int i = 0; i < 30; ++i)
        cal.AddEvent(Item("多数", D(2026, 5, 20), 480 + i, 500 + i));

    c.Focus(false);
    QImage img = c.Shot();
    struct Case
    {
        days::Day date;
        TColor back;
        TColor text;
        bool inMonth;
    };
    const Case cases[] = {
        { D(2026, 5, 10), 0xEEEEFF, 0x0000FF, true }, // Sunday
        { D(2026, 5, 9), 0xFFEEEE, 0xFF0000, true }, // Saturday
        { D(2026, 5, 12), colors::clWhite, 0x000000, true }, // Tuesday
        { D(2026, 5, 4), 0xFFEEFF, 0x00A5FF, true }, // みどりの日, a Monday
        { D(2026, 5, 6), 0xFFEEFF, 0x00A5FF, true }, // substitute holiday
        { D(2026, 5, 3), 0xFFEEFF, 0x00A5FF, true }, // a Sunday holiday
        { D(2026, 5, 13), 0xE0FFFF, 0x000000, true }, // today
        { D(2026, 4, 29), 0xDDDDDD, 0x00A5FF, false }, // 昭和の日, April
        { D(2026, 6, 6), 0xDDDDDD, 0xFF0000, false }, // a June Saturday
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(days::FormatIso(k.date));
        const CellModel m = c.At(k.date);
        EXPECT_EQ(m.background, Rgb(k.back));
        EXPECT_EQ(m.textColor, Rgb(k.text));
        EXPECT_EQ(m.inMonth, k.inMonth);
        const calpaint::TextPiece* number = m.Find(TextRole::DayNumber);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text, QString::number(days::Decode(k.date).day));
        EXPECT_EQ(number->color, Rgb(k.text));
        EXPECT_EQ(number->font.italic(), !k.inMonth);
        EXPECT_EQ(number->font.bold(), k.inMonth);
        EXPECT_EQ(number->box.topLeft(), m.content.topLeft());
        EXPECT_EQ(img.pixelColor(Ground(m)), Rgb(k.back));
        // Marks mode: no holiday names.
        EXPECT_TRUE(m.All(TextRole::Holiday).empty());
    }

    // The selected cell (today) has a 3-pixel frame: grey without focus...
    CellModel today = c.At(D(2026, 5, 13));
    EXPECT_EQ(today.frameWidth, 3);
    EXPECT_EQ(today.content, today.rect.adjusted(3, 3, -3, -3));
    const QRect r = today.rect;
    for (QPoint p : { r.topLeft(), r.bottomRight(), r.topLeft() + QPoint(2, 20) })
        EXPECT_EQ(img.pixelColor(p), Rgb(0x808080));
    EXPECT_EQ(img.pixelColor(r.topLeft() + QPoint(3, 30)), Rgb(0xE0FFFF));
    // ... red with it; other cells have none.
    c.Focus(true);
    img = c.Shot();
    for (QPoint p : { r.topLeft(), r.bottomRight(), r.topLeft() + QPoint(2, 20) })
        EXPECT_EQ(img.pixelColor(p), Rgb(0x0000FF));
    const CellModel other = c.At(D(2026, 5, 12));
    EXPECT_EQ(other.frameWidth, 0);
    EXPECT_EQ(img.pixelColor(other.rect.topLeft() + QPoint(1, 20)), Rgb(colors::clWhite));

    // Marks at the right edge: a square for the pending alarm, a circle for
    // the other item, in day-list order, d = 24 / 3 + 2 = 10 pixels apart.
    today = c.At(D(2026, 5, 13));
    ASSERT_EQ(today.marks.size(), 2u);
    EXPECT_TRUE(today.marks[0].square);
    EXPECT_FALSE(today.marks[1].square);
    EXPECT_EQ(today.marks[0].rect,
              QRect(today.content.right() + 1 - 10 + 1, today.content.top() + 1, 8, 8));
    EXPECT_EQ(today.marks[1].rect.top(), today.marks[0].rect.top() + 10);
    const QColor purple = Rgb(0x800080);
    const QRect sq = today.marks[0].rect;
    EXPECT_EQ(img.pixelColor(sq.topLeft()), purple);
    EXPECT_EQ(img.pixelColor(sq.bottomRight()), purple);
    EXPECT_EQ(img.pixelColor(sq.topLeft() - QPoint(1, 1)), Rgb(0xE0FFFF));
    const QRect circle = today.marks[1].rect;
    EXPECT_EQ(img.pixelColor(circle.center()), purple);
    EXPECT_EQ(img.pixelColor(circle.topLeft()), Rgb(0xE0FFFF));
    // Marks stop at the cell's bottom.
    const CellModel crowded = c.At(D(2026, 5, 20));
    ASSERT_FALSE(crowded.marks.empty());
    EXPECT_LT(crowded.marks.size(), 30u);
    EXPECT_LT(crowded.marks.back().rect.top(), crowded.rect.bottom());
    EXPECT_GE(crowded.marks.back().rect.top() + 10 - 1, crowded.rect.bottom() - 10);

    // The header: weekday names in the fixed colour, Sunday red, Saturday
    // blue; a week from Monday moves them.
    for (int col = 0; col < 7; ++col) {
        const CellModel h = cal.CellModel(col, 0, cal.CellState(col, 0));
        const calpaint::TextPiece* name = h.Find(TextRole::Header);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->font.pointSize(), 10);
        EXPECT_EQ(name->color, Rgb(col == 0 ? 0x0000FF : col == 6 ? 0xFF0000 : 0));
        EXPECT_EQ(img.pixelColor(h.rect.topLeft() + QPoint(4, h.rect.height() / 2)), h.background);
    }
    EXPECT_EQ(cal.CellModel(0, 0, gdFixed).Find(TextRole::Header)->text, u"日"_qs);
}

TEST(WSchedulerPaint, MonthItemLinesAndHolidayNames)
{
    Calendar c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = *c.cal;
    cal.SetAutoTitle(true);
    cal.SetDisplayTime(true);
    ASSERT_GE((cal.MinRowHeight() - 24 - 6) / 12, 1);

    TEventData meeting = Item("会議", D(2026, 5, 13), 660, 720);
    meeting.AlarmBefore = 30; // pending: bold
    meeting.DataType = U("仕事:FF0000:CCFFCC"); // blue on light green
    cal.AddEvent(meeting);
    TEventData report = Item("報告書", D(2026, 5, 13), 540, 600);
    report.Priority = 4;
    report.Done = true;
    cal.AddEvent(report);
    TEventData trip = Item("旅行", D(2026, 5, 13));
    trip.Priority = 2;
    trip.Cancelled = true;
    cal.AddEvent(trip);
    TEventData gym = Item("体操", D(2026, 5, 1), 420, 450);
    gym.Repeat = rp::Repeating | rp::Daily;
    cal.AddEvent(gym);
    TEventData high = Item("至急", D(2026, 5, 13), 800, 810);
    high.Priority = 3;
    cal.AddEvent(high);
    for (int i = 0; i < 20; ++i) {
        TEventData e = Item("多数", D(2026, 5, 20), 480 + i, 500 + i);
        e.DataType = U("色:000000:00FFFF"); // yellow ground
        cal.AddEvent(e);
    }
    cal.AddEvent(Item("先月", D(2026, 4, 28), 600, 700));

    c.Focus(false);
    const QImage img = c.Shot();
    const CellModel m = c.At(D(2026, 5, 13));
    // Untimed items first, then by start time.
    ASSERT_EQ(m.lines.size(), 5u);
    const auto& trips = m.lines[0];
    EXPECT_EQ(trips.text.text, u"旅行"_qs);
    EXPECT_EQ(trips.icon, calpaint::icOff);
    EXPECT_TRUE(trips.text.font.strikeOut());
    EXPECT_FALSE(trips.text.font.italic());
    const auto& gyms = m.lines[1];
    EXPECT_EQ(gyms.text.text, u"07:00 体操"_qs);
    EXPECT_TRUE(gyms.text.font.italic());
    EXPECT_EQ(gyms.icon, -1);
    EXPECT_EQ(gyms.text.box.left(), m.content.left());
    const auto& reports = m.lines[2];
    EXPECT_EQ(reports.text.text, u"報告書"_qs); // done: no time in the month grid
    EXPECT_EQ(reports.icon, calpaint::icDone);
    EXPECT_EQ(reports.text.color, Rgb(0x808080));
    EXPECT_EQ(reports.back, m.background);
    EXPECT_EQ(reports.text.box.left(), m.content.left() + 12 + 4);
    const auto& meetings = m.lines[3];
    EXPECT_EQ(meetings.text.text, u"11:00 会議"_qs);
    EXPECT_TRUE(meetings.text.font.bold());
    EXPECT_FALSE(gyms.text.font.bold());
    EXPECT_EQ(meetings.text.color, Rgb(0xFF0000));
    EXPECT_EQ(meetings.back, Rgb(0xCCFFCC));
    EXPECT_EQ(m.lines[4].icon, calpaint::icHigh);
    EXPECT_EQ(m.lines[4].text.color, Rgb(colors::clBlack)); // the event font's colour
    // Lines follow each other; the rest is filled with the day's ground.
    for (std::size_t i = 1; i < m.lines.size(); ++i)
        EXPECT_EQ(m.lines[i].fill.top(),
                  m.lines[i - 1].fill.top() + QFontMetrics(m.lines[i - 1].text.font).height());
    EXPECT_EQ(m.restFill.top(),
              m.lines.back().fill.top() + QFontMetrics(m.lines.back().text.font).height());
    EXPECT_EQ(m.restFill.bottom(), m.content.bottom());
    EXPECT_EQ(m.restColor, m.background);
    // Pixels: the meeting's ground at the line's right end, an icon's own
    // drawing at the line's left edge, the rest fill below.
    EXPECT_EQ(img.pixelColor(meetings.fill.right() - 1, meetings.fill.top() + 1), Rgb(0xCCFFCC));
    const QImage off = calpaint::IconPixmap(calpaint::icOff).toImage();
    for (int y = 0; y < off.height(); ++y) {
        for (int x = 0; x < off.width(); ++x) {
            if (qAlpha(off.pixel(x, y)) == 255) {
                ASSERT_EQ(img.pixel(trips.iconAt + QPoint(x, y)), off.pixel(x, y));
            }
        }
    }
    EXPECT_EQ(img.pixelColor(m.restFill.bottomRight() - QPoint(1, 1)), Rgb(0xE0FFFF));

    // More items than fit: the lines stop, the last one's ground reaches the
    // bottom.
    const CellModel crowded = c.At(D(2026, 5, 20));
    ASSERT_FALSE(crowded.lines.empty());
    EXPECT_LT(crowded.lines.size(), 20u);
    EXPECT_TRUE(crowded.restFill.isEmpty());
    EXPECT_EQ(crowded.lines.back().fill.bottom(), crowded.content.bottom());
    EXPECT_EQ(img.pixelColor(crowded.content.bottomRight()), Rgb(0x00FFFF));

    // Holiday names: right-aligned beside or below the day number, in the
    // kind's colour in the month, grey outside it.
    const CellModel may4 = c.At(D(2026, 5, 4));
    const auto names = may4.All(TextRole::Holiday);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0]->text, u"みどりの日"_qs);
    EXPECT_EQ(names[0]->color, Rgb(0x8888FF));
    EXPECT_EQ(names[0]->font.pointSize(), 8);
    EXPECT_EQ(names[0]->box.top(), may4.content.top() + 24); // below the number
    EXPECT_LE(names[0]->box.left() + QFontMetrics(names[0]->font).horizontalAdvance(names[0]->text),
              may4.content.right() + 1 - 2);
    EXPECT_EQ(c.At(D(2026, 5, 6)).All(TextRole::Holiday)[0]->text, u"振替休日"_qs);
    const CellModel april = c.At(D(2026, 4, 29));
    ASSERT_EQ(april.All(TextRole::Holiday).size(), 1u);
    EXPECT_EQ(april.All(TextRole::Holiday)[0]->color, Rgb(0x888888));
    ASSERT_EQ(april.lines.size(), 0u);
    const CellModel april28 = c.At(D(2026, 4, 28));
    ASSERT_EQ(april28.lines.size(), 1u);
    EXPECT_EQ(april28.lines[0].text.color, Rgb(0x808080));
    EXPECT_EQ(april28.lines[0].back, Rgb(0xDDDDDD));
    // Items start below the number and the names.
    EXPECT_GE(may4.restFill.top(), names[0]->box.top() + cal.FontHeight(names[0]->font));
}

TEST(WSchedulerPaint, SundayHolidayTodayAndAnniversaries)
{
    Calendar c(days::MomentOf(D(2026, 5, 3), 600)); // 憲法記念日, a Sunday
    TWScheduler& cal = *c.cal;
    cal.SetAutoTitle(true);
    const CellModel m = c.At(D(2026, 5, 3));
    EXPECT_EQ(m.background, Rgb(0xE0FFFF));
    EXPECT_EQ(m.textColor, Rgb(0x0000FF));
    ASSERT_EQ(m.All(TextRole::Holiday).size(), 1u);
    EXPECT_EQ(m.All(TextRole::Holiday)[0]->color, Rgb(0x8888FF));
    // The Monday after it is the substitute holiday only from 2007 on the
    // first day that is not a holiday itself: 5/4 and 5/5 are holidays.
    EXPECT_FALSE(cal.IsDayOff(D(2026, 5, 7)));
    EXPECT_TRUE(cal.IsDayOff(D(2026, 5, 6)));

    // An anniversary counts its years to the year of the cell's date, also
    // when the current date is in the next year; kinds 4 to 7 stand beside
    // the day number.
    QTemporaryDir dir;
    const std::string personal = dir.filePath("Kalvero.phd").toStdString();
    ASSERT_TRUE(files::WriteAtomic(personal,
                                   U("12,28,0,2000,9999,3,結婚記念日\r\n"
                                     "12,29,0,2000,9999,5,大掃除\r\n")));
    ASSERT_TRUE(cal.LoadHolidays(personal, true));
    cal.SetCurrentDate(D(2027, 1, 10));
    EXPECT_TRUE(c.At(D(2026, 12, 28)).All(TextRole::Holiday).empty());
    cal.SetDispEvent3(true);
    const CellModel dec28 = c.At(D(2026, 12, 28));
    ASSERT_EQ(dec28.All(TextRole::Holiday).size(), 1u);
    EXPECT_EQ(dec28.All(TextRole::Holiday)[0]->text, u"結婚記念日:26"_qs);
    EXPECT_EQ(dec28.All(TextRole::Holiday)[0]->color, Rgb(0x888888));
    const CellModel dec29 = c.At(D(2026, 12, 29));
    const auto beside = dec29.All(TextRole::Holiday);
    ASSERT_EQ(beside.size(), 1u);
    EXPECT_TRUE(beside[0]->font.bold());
    EXPECT_EQ(beside[0]->box.top(), dec29.content.top());
    // Public holidays are still there (the personal file appended).
    EXPECT_EQ(c.At(D(2027, 1, 1)).All(TextRole::Holiday)[0]->text, u"元日"_qs);
}

TEST(WSchedulerPaint, SixDayLabels)
{
    Calendar c(days::MomentOf(D(2017, 6, 24), 600));
    TWScheduler& cal = *c.cal;
    EXPECT_EQ(c.At(D(2017, 6, 24)).Find(TextRole::Rokuyo), nullptr);
    cal.SetDispRokuyo(true);
    struct Case
    {
        days::Day date;
        const char16_t* name;
        TColor color;
    };
    const Case cases[] = {
        { D(2017, 6, 24), u"大安", 0x0000FF },
        { D(2020, 5, 23), u"仏滅", 0x808080 },
        { D(2025, 7, 25), u"赤口", 0x000000 },
        { D(2025, 9, 22), u"友引", 0x000000 },
    };
    for (const Case& k : cases) {
        cal.SetCurrentDate(k.date);
        const CellModel m = c.At(k.date);
        const calpaint::TextPiece* label = m.Find(TextRole::Rokuyo);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, QString::fromUtf16(k.name));
        EXPECT_EQ(label->color, Rgb(k.color));
        EXPECT_EQ(label->font.pointSize(), 8);
        EXPECT_GE(label->box.width(), QFontMetrics(label->font).horizontalAdvance(label->text));
        EXPECT_TRUE(label->clip.contains(label->box.topLeft()));
        const calpaint::TextPiece* number = m.Find(TextRole::DayNumber);
        EXPECT_EQ(label->box.top(), number->box.top());
        EXPECT_EQ(label->box.left(),
                  number->box.left() + QFontMetrics(number->font).horizontalAdvance(number->text) +
                      2);
    }
    cal.SetGridType(gtWeekly);
    const CellModel w = c.At(D(2025, 9, 22));
    ASSERT_NE(w.Find(TextRole::Rokuyo), nullptr);
    EXPECT_EQ(w.Find(TextRole::Rokuyo)->text, u"友引"_qs);
    const calpaint::TextPiece* weekLabel = w.Find(TextRole::Rokuyo);
    EXPECT_GE(weekLabel->box.width(),
              QFontMetrics(weekLabel->font).horizontalAdvance(weekLabel->text));
    EXPECT_TRUE(weekLabel->clip.contains(weekLabel->box.topLeft()));
    EXPECT_LT(weekLabel->clip.right(), w.rect.left() + cal.DateWidth());
    EXPECT_GT(w.Find(TextRole::Rokuyo)->box.top(), w.Find(TextRole::Weekday)->box.top());
}

TEST(WSchedulerPaint, WeekRows)
{
    Calendar c(days::MomentOf(D(2026, 5, 27), 600)); // a Wednesday
    TWScheduler& cal = *c.cal;
    cal.SetDisplayTime(true);
    cal.SetGridType(gtWeekly);
    cal.AddEvent(Item("会議", D(2026, 5, 27), 600, 660));
    cal.AddEvent(Item("朝会", D(2026, 5, 27), 570)); // no end time
    TEventData done = Item("報告書", D(2026, 5, 27), 540, 600);
    done.Done = true;
    done.Priority = 4;
    cal.AddEvent(done);
    cal.AddEvent(Item("六月", D(2026, 6, 1), 600, 630));
    cal.SetCurrentDate(D(2026, 5, 31)); // a Sunday: the week runs into June
    c.Focus(true);
    const QImage img = c.Shot();

    EXPECT_EQ(cal.FirstCellDate(), D(2026, 5, 31));
    const CellModel sunday = c.At(D(2026, 5, 31));
    EXPECT_EQ(sunday.Find(TextRole::Heading)->text, u"5月"_qs); // first row
    EXPECT_EQ(sunday.Find(TextRole::Weekday)->text, u"(日)"_qs);
    EXPECT_EQ(sunday.background, Rgb(0xEEEEFF));
    // The selected row: sunken date column, frame around the item area.
    ASSERT_EQ(sunday.bevels.size(), 1u);
    EXPECT_EQ(sunday.bevels[0].width, 2);
    EXPECT_EQ(sunday.bevels[0].topLeft, colors::ToQColor(colors::clBtnShadow, cal.palette()));
    EXPECT_EQ(sunday.frameArea.left(), sunday.rect.left() + 80);
    EXPECT_EQ(sunday.frameWidth, 3);
    EXPECT_EQ(img.pixelColor(sunday.frameArea.topLeft() + QPoint(1, 1)), Rgb(0x0000FF));
    EXPECT_EQ(img.pixelColor(sunday.rect.topLeft()).rgb(), sunday.bevels[0].topLeft.rgb());

    // The first of June: its heading, and full colours (no grey).
    const CellModel june = c.At(D(2026, 6, 1));
    EXPECT_EQ(june.Find(TextRole::Heading)->text, u"6月"_qs);
    EXPECT_TRUE(june.inMonth);
    EXPECT_EQ(june.background, Rgb(colors::clWhite));
    EXPECT_EQ(june.frameWidth, 0);
    EXPECT_EQ(june.bevels[0].topLeft, colors::ToQColor(colors::clBtnHighlight, cal.palette()));
    ASSERT_EQ(june.lines.size(), 1u);
    EXPECT_EQ(june.lines[0].text.text, u"10:00～10:30 六月"_qs);
    EXPECT_EQ(june.lines[0].text.color, Rgb(colors::clBlack));
    EXPECT_EQ(c.At(D(2026, 6, 2)).Find(TextRole::Heading), nullptr);
    EXPECT_EQ(img.pixelColor(june.rect.right() - 2, june.rect.bottom() - 2), Rgb(colors::clWhite));

    // The week of the 27th: an end time only when there is one; a done item
    // keeps its times in the week grid.
    cal.SetCurrentDate(D(2026, 5, 27));
    const CellModel wed = c.At(D(2026, 5, 27));
    ASSERT_EQ(wed.lines.size(), 3u);
    EXPECT_EQ(wed.lines[0].text.text, u"09:00～10:00 報告書"_qs);
    EXPECT_EQ(wed.lines[0].text.color, Rgb(0x808080));
    EXPECT_EQ(wed.lines[0].icon, calpaint::icDone);
    EXPECT_EQ(wed.lines[1].text.text, u"09:30 朝会"_qs);
    EXPECT_EQ(wed.lines[2].text.text, u"10:00～11:00 会議"_qs);
    // Item lines start one pixel inside the frame.
    EXPECT_EQ(wed.lines[0].fill.left(), wed.frameArea.left() + 4);
    EXPECT_EQ(wed.lines[0].fill.top(), wed.frameArea.top() + 4);
    // AutoTitle does not apply to the week grid.
    EXPECT_FALSE(cal.AutoTitle());
    EXPECT_TRUE(wed.marks.empty());
}

TEST(WSchedulerPaint, DrawEventReplacesMonthCellContent)
{
    Calendar c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = *c.cal;
    cal.SetAutoTitle(true);
    cal.AddEvent(Item("会議", D(2026, 5, 13), 600, 660));
    std::vector<days::Day> asked;
    cal.OnDrawEvent = [&](TWScheduler* s, days::Day date, QPainter& p, const QRect& r) {
        EXPECT_EQ(s, &cal);
        asked.push_back(date);
        p.fillRect(r, QColor(0, 160, 0));
    };
    c.Focus(false);
    const QImage img = c.Shot();
    EXPECT_EQ(asked.size(), 42u);
    const CellModel m = c.At(D(2026, 5, 13));
    EXPECT_TRUE(m.custom);
    EXPECT_TRUE(m.texts.empty());
    EXPECT_TRUE(m.lines.empty());
    EXPECT_EQ(img.pixelColor(m.content.center()), QColor(0, 160, 0));
    EXPECT_EQ(img.pixelColor(m.content.topLeft()), QColor(0, 160, 0));
    // Background and frame stay the control's.
    EXPECT_EQ(img.pixelColor(m.rect.topLeft()), Rgb(0x808080));
    EXPECT_EQ(img.pixelColor(c.At(D(2026, 5, 12)).rect.topLeft() + QPoint(1, 1)),
              Rgb(colors::clWhite));
    // The header row is unchanged.
    EXPECT_NE(cal.CellModel(3, 0, gdFixed).Find(TextRole::Header), nullptr);

    // A handler that throws: painting goes on, the user is told once.
    cal.OnDrawEvent = [](TWScheduler*, days::Day, QPainter&, const QRect&) {
        throw std::runtime_error("draw failed");
    };
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        c.Shot();
        c.Shot();
        QCoreApplication::processEvents();
        ASSERT_EQ(script.messages().size(), 1u);
        EXPECT_EQ(script.messages()[0], u"draw failed."_qs);
    }

    // The week grid ignores the handler.
    asked.clear();
    cal.OnDrawEvent = [&](TWScheduler*, days::Day date, QPainter&, const QRect&) {
        asked.push_back(date);
    };
    cal.SetGridType(gtWeekly);
    c.Shot();
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(c.At(D(2026, 5, 13)).lines.empty());
}

TEST(WSchedulerPaint, TheFirstAndLastMonthsOfTheCalendarPaint)
{
    Calendar c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = *c.cal;
    cal.SetAutoTitle(true);
    cal.SetDispRokuyo(true);
    cal.AddEvent(Item("元日", D(1, 1, 1)));
    cal.AddEvent(Item("大晦日", D(9999, 12, 31), 600, 660));
    for (const days::Day day : { D(1, 1, 1), D(9999, 12, 31) }) {
        for (const TGridType type : { gtMonthly, gtWeekly }) {
            cal.SetGridType(type);
            cal.SetCurrentDate(day);
            EXPECT_EQ(cal.CurrentDate(), day);
            const QImage img = c.Shot();
            EXPECT_FALSE(img.isNull());
            // The store lists nothing before its day 1 (1899-12-31).
            EXPECT_EQ(c.At(day).lines.size(), day > 0 ? 1u : 0u);
        }
        // No page leads out of the calendar's years.
        cal.SetGridType(gtMonthly);
        cal.MoveBy(day < 0 ? -1 : 1, 0);
        cal.MoveBy(0, day < 0 ? -1 : 1);
        EXPECT_EQ(cal.CurrentDate(), day);
    }
}
