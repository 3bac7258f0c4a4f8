// Painting of the calendar control: offscreen renders of a month and a week
// with the shipped holiday file, checked by the render model of each cell
// and by sampled pixels (fills and extents, never glyph shapes).

#include "calendar_fixture.h"

#include "core/files.h"
#include "support/dialog_script.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <set>
#include <stdexcept>

using calpaint::CellModel;
using calpaint::TextPiece;
using calpaint::TextRole;

namespace {

QColor Rgb(TColor c)
{
    return colors::ToQColor(c);
}

// The calendar of the fixture with fixed fonts, colours and the shipped
// holiday file.
struct Painted : CalendarFixture
{
    explicit Painted(days::Moment now) : CalendarFixture(now, QSize(840, 720))
    {
        cal.SetColor(colors::clWhite);
        cal.SetTodayColor(0xE0FFFF);
        QFont font = cal.font();
        font.setPixelSize(24);
        cal.SetDateFont(font);
        font.setPixelSize(12);
        cal.SetEventFont(font, colors::clBlack);
        EXPECT_TRUE(cal.LoadHolidays(KALVERO_SOURCE_DIR "/data/Kalvero.hol", false));
    }
    CellModel At(days::Day date)
    {
        const TGridCoord c = cal.DateCell(date);
        EXPECT_TRUE(c.Valid()) << days::FormatIso(date);
        return cal.CellModel(c.X, c.Y, cal.CellState(c.X, c.Y));
    }
    QImage Shot() { return cal.viewport()->grab().toImage(); }
};

bool NoSixDayLabel(const CellModel& m)
{
    return m.Find(TextRole::Rokuyo) == nullptr;
}

int Height(const TextPiece& t)
{
    return QFontMetrics(t.font).height();
}

} // namespace

TEST(WSchedulerPaint, MonthBackgroundsFramesAndMarks)
{
    Painted c(days::MomentOf(D(2026, 5, 13), 600)); // a Wednesday
    TWScheduler& cal = c.cal;
    cal.AddEvent(Item("会議", D(2026, 5, 13), 660, 720, 30)); // alarm pending
    cal.AddEvent(Item("昼食", D(2026, 5, 13), 720, 780));
    for (int i = 0; i < 30; ++i)
        cal.AddEvent(Item("多数", D(2026, 5, 20), 480 + i, 500 + i));
    c.Focus(false);
    QImage img = c.Shot();
    struct Case
    {
        days::Day date;
        TColor back, text;
        bool inMonth;
    };
    for (const Case& k : {
             Case { D(2026, 5, 10), 0xEEEEFF, 0x0000FF, true }, // Sunday
             Case { D(2026, 5, 9), 0xFFEEEE, 0xFF0000, true }, // Saturday
             Case { D(2026, 5, 12), colors::clWhite, 0x000000, true },
             Case { D(2026, 5, 4), 0xFFEEFF, 0x00A5FF, true }, // みどりの日
             Case { D(2026, 5, 6), 0xFFEEFF, 0x00A5FF, true }, // substitute holiday
             Case { D(2026, 5, 3), 0xFFEEFF, 0x00A5FF, true }, // a Sunday holiday
             Case { D(2026, 5, 13), 0xE0FFFF, 0x000000, true }, // today
             Case { D(2026, 4, 29), 0xDDDDDD, 0x00A5FF, false }, // 昭和の日
             Case { D(2026, 6, 6), 0xDDDDDD, 0xFF0000, false },
         }) {
        SCOPED_TRACE(days::FormatIso(k.date));
        const CellModel m = c.At(k.date);
        EXPECT_EQ(m.background, Rgb(k.back));
        EXPECT_EQ(m.inMonth, k.inMonth);
        const TextPiece* number = m.Find(TextRole::DayNumber);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->color, Rgb(k.text));
        EXPECT_EQ(number->font.italic(), !k.inMonth);
        EXPECT_EQ(number->font.bold(), k.inMonth);
        EXPECT_EQ(number->box.topLeft(), m.content.topLeft());
        // Marks mode (no AutoTitle): nothing but ground near the bottom left,
        // and no holiday names.
        EXPECT_EQ(img.pixelColor(m.content.bottomLeft() + QPoint(4, -4)), Rgb(k.back));
        EXPECT_TRUE(m.All(TextRole::Holiday).empty());
    }

    // The selected cell's 3-pixel frame: grey without focus, red with it.
    CellModel today = c.At(D(2026, 5, 13));
    const QRect r = today.rect;
    EXPECT_EQ(today.content, r.adjusted(3, 3, -3, -3));
    for (QPoint p : { r.topLeft(), r.bottomRight(), r.topLeft() + QPoint(2, 20) })
        EXPECT_EQ(img.pixelColor(p), Rgb(0x808080));
    EXPECT_EQ(img.pixelColor(r.topLeft() + QPoint(3, 30)), Rgb(0xE0FFFF));
    c.Focus(true);
    img = c.Shot();
    for (QPoint p : { r.topLeft(), r.bottomRight(), r.topLeft() + QPoint(2, 20) })
        EXPECT_EQ(img.pixelColor(p), Rgb(0x0000FF));
    EXPECT_EQ(img.pixelColor(c.At(D(2026, 5, 12)).rect.topLeft()), Rgb(colors::clWhite));

    // Marks in a column d = 24 / 3 + 2 = 10 pixels wide at the right edge: a
    // square for the pending alarm, a circle for the other item.
    today = c.At(D(2026, 5, 13));
    ASSERT_EQ(today.marks.size(), 2u);
    const QRect sq = today.marks[0].rect;
    const QRect circle = today.marks[1].rect;
    EXPECT_TRUE(today.marks[0].square);
    EXPECT_FALSE(today.marks[1].square);
    EXPECT_EQ(sq, QRect(today.content.right() - 8, today.content.top() + 1, 8, 8));
    EXPECT_EQ(circle.top(), sq.top() + 10);
    const QColor purple = Rgb(0x800080);
    EXPECT_EQ(img.pixelColor(sq.bottomRight()), purple);
    EXPECT_EQ(img.pixelColor(sq.topLeft() - QPoint(1, 1)), Rgb(0xE0FFFF));
    EXPECT_EQ(img.pixelColor(circle.center()), purple);
    EXPECT_EQ(img.pixelColor(circle.topLeft()), Rgb(0xE0FFFF));
    // Marks stop at the cell's bottom.
    const CellModel crowded = c.At(D(2026, 5, 20));
    EXPECT_LT(crowded.marks.size(), 30u);
    EXPECT_LT(crowded.marks.back().rect.top(), crowded.rect.bottom());
    EXPECT_GE(crowded.marks.back().rect.bottom() + 10, crowded.rect.bottom());

    // The header: Sunday red, Saturday blue, size 10, on the fixed colour.
    for (int col = 0; col < 7; ++col) {
        const CellModel h = cal.CellModel(col, 0, gdFixed);
        const TextPiece* name = h.Find(TextRole::Header);
        EXPECT_EQ(name->font.pointSize(), 10);
        EXPECT_EQ(name->color, Rgb(col == 0 ? 0x0000FF : col == 6 ? 0xFF0000 : 0));
        EXPECT_EQ(img.pixelColor(h.rect.topLeft() + QPoint(4, h.rect.height() / 2)), h.background);
    }
}

TEST(WSchedulerPaint, MonthItemLinesAndHolidayNames)
{
    Painted c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = c.cal;
    cal.SetAutoTitle(true);
    cal.SetDisplayTime(true);
    TEventData meeting = Item("会議", D(2026, 5, 13), 660, 720, 30); // pending: bold
    meeting.DataType = U("仕事:FF0000:CCFFCC"); // blue on light green
    TEventData report = Item("報告書", D(2026, 5, 13), 540, 600);
    report.Priority = 4;
    report.Done = true;
    TEventData trip = Item("旅行", D(2026, 5, 13));
    trip.Priority = 2;
    trip.Cancelled = true;
    TEventData gym = Item("体操", D(2026, 5, 1), 420, 450);
    gym.Repeat = rp::Repeating | rp::Daily;
    TEventData high = Item("至急", D(2026, 5, 13), 800, 810);
    high.Priority = 3;
    for (const TEventData& e : { meeting, report, trip, gym, high })
        cal.AddEvent(e);
    for (int i = 0; i < 20; ++i) {
        TEventData e = Item("多数", D(2026, 5, 20), 480 + i, 500 + i);
        e.DataType = U("色:000000:00FFFF"); // yellow ground
        cal.AddEvent(e);
    }
    cal.AddEvent(Item("先月", D(2026, 4, 28), 600, 700));
    c.Focus(false);
    const QImage img = c.Shot();

    // Untimed items first, then by start time.
    const CellModel m = c.At(D(2026, 5, 13));
    ASSERT_EQ(m.lines.size(), 5u);
    const calpaint::ItemLine& trips = m.lines[0];
    EXPECT_EQ(trips.text.text, u"旅行"_qs);
    EXPECT_EQ(trips.icon, calpaint::icOff);
    EXPECT_TRUE(trips.text.font.strikeOut());
    EXPECT_EQ(m.lines[1].text.text, u"07:00 体操"_qs);
    EXPECT_TRUE(m.lines[1].text.font.italic());
    EXPECT_FALSE(m.lines[1].text.font.bold());
    EXPECT_EQ(m.lines[1].icon, -1);
    EXPECT_EQ(m.lines[1].text.box.left(), m.content.left());
    const calpaint::ItemLine& done = m.lines[2];
    EXPECT_EQ(done.text.text, u"報告書"_qs); // done: no time in the month grid
    EXPECT_EQ(done.icon, calpaint::icDone);
    EXPECT_EQ(done.text.color, Rgb(0x808080));
    EXPECT_EQ(done.back, m.background);
    EXPECT_EQ(done.text.box.left(), m.content.left() + 12 + 4);
    const calpaint::ItemLine& meet = m.lines[3];
    EXPECT_EQ(meet.text.text, u"11:00 会議"_qs);
    EXPECT_TRUE(meet.text.font.bold());
    EXPECT_EQ(meet.text.color, Rgb(0xFF0000));
    EXPECT_EQ(meet.back, Rgb(0xCCFFCC));
    EXPECT_EQ(m.lines[4].icon, calpaint::icHigh);
    EXPECT_EQ(m.lines[4].text.color, Rgb(colors::clBlack)); // the event font's colour
    for (std::size_t i = 1; i < m.lines.size(); ++i)
        EXPECT_EQ(m.lines[i].fill.top(), m.lines[i - 1].fill.top() + Height(m.lines[i - 1].text));
    EXPECT_EQ(m.restFill.top(), m.lines.back().fill.top() + Height(m.lines.back().text));
    EXPECT_EQ(m.restFill.bottom(), m.content.bottom());
    // Pixels: a line's ground, an icon's own drawing, the rest fill.
    EXPECT_EQ(img.pixelColor(meet.fill.right() - 1, meet.fill.top() + 1), Rgb(0xCCFFCC));
    const QImage off = calpaint::IconPixmap(calpaint::icOff).toImage();
    for (int y = 0; y < off.height(); ++y) {
        for (int x = 0; x < off.width(); ++x) {
            if (qAlpha(off.pixel(x, y)) == 255) {
                ASSERT_EQ(img.pixel(trips.iconAt + QPoint(x, y)), off.pixel(x, y));
            }
        }
    }
    EXPECT_EQ(img.pixelColor(m.restFill.bottomRight() - QPoint(1, 1)), Rgb(0xE0FFFF));
    // More items than fit: the last drawn line's ground reaches the bottom.
    const CellModel crowded = c.At(D(2026, 5, 20));
    EXPECT_LT(crowded.lines.size(), 20u);
    EXPECT_TRUE(crowded.restFill.isEmpty());
    EXPECT_EQ(crowded.lines.back().fill.bottom(), crowded.content.bottom());
    EXPECT_EQ(img.pixelColor(crowded.content.bottomRight()), Rgb(0x00FFFF));

    // Holiday names below the day number, right-aligned with a 2-pixel
    // margin, in the kind's colour in the month and grey outside it; items
    // start below them.
    const CellModel may4 = c.At(D(2026, 5, 4));
    const auto names = may4.All(TextRole::Holiday);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0]->text, u"みどりの日"_qs);
    EXPECT_EQ(names[0]->color, Rgb(0x8888FF));
    EXPECT_EQ(names[0]->font.pointSize(), 8);
    EXPECT_EQ(names[0]->box.top(), may4.content.top() + 24);
    EXPECT_EQ(names[0]->box.left() + QFontMetrics(names[0]->font).horizontalAdvance(names[0]->text),
              may4.content.right() + 1 - 2);
    EXPECT_GE(may4.restFill.top(), names[0]->box.top() + cal.FontHeight(names[0]->font));
    EXPECT_EQ(c.At(D(2026, 5, 6)).All(TextRole::Holiday)[0]->text, u"振替休日"_qs);
    EXPECT_EQ(c.At(D(2026, 4, 29)).All(TextRole::Holiday)[0]->color, Rgb(0x888888));
    const CellModel april = c.At(D(2026, 4, 28));
    ASSERT_EQ(april.lines.size(), 1u);
    EXPECT_EQ(april.lines[0].text.color, Rgb(0x808080));
    EXPECT_EQ(april.lines[0].back, Rgb(0xDDDDDD));
}

TEST(WSchedulerPaint, SundayHolidayTodayAndAnniversaries)
{
    Painted c(days::MomentOf(D(2026, 5, 3), 600)); // 憲法記念日, a Sunday
    TWScheduler& cal = c.cal;
    cal.SetAutoTitle(true);
    const CellModel m = c.At(D(2026, 5, 3));
    EXPECT_EQ(m.background, Rgb(0xE0FFFF));
    EXPECT_EQ(m.textColor, Rgb(0x0000FF));
    EXPECT_EQ(m.All(TextRole::Holiday).at(0)->color, Rgb(0x8888FF));

    // An anniversary counts its years to the year of the cell's date, also
    // when the current date is in the next year; kinds 4 to 7 stand beside
    // the day number.
    QTemporaryDir dir;
    const std::string personal = dir.filePath("Kalvero.phd").toStdString();
    ASSERT_TRUE(files::WriteAtomic(
        personal, U("12,28,0,2000,9999,3,結婚記念日\r\n12,29,0,2000,9999,5,大掃除\r\n")));
    ASSERT_TRUE(cal.LoadHolidays(personal, true));
    cal.SetCurrentDate(D(2027, 1, 10));
    EXPECT_TRUE(c.At(D(2026, 12, 28)).All(TextRole::Holiday).empty());
    cal.SetDispEvent3(true);
    const CellModel dec28Cell = c.At(D(2026, 12, 28));
    const auto dec28 = dec28Cell.All(TextRole::Holiday);
    ASSERT_EQ(dec28.size(), 1u);
    EXPECT_EQ(dec28[0]->text, u"結婚記念日:26"_qs);
    const CellModel dec29 = c.At(D(2026, 12, 29));
    ASSERT_EQ(dec29.All(TextRole::Holiday).size(), 1u);
    EXPECT_TRUE(dec29.All(TextRole::Holiday)[0]->font.bold());
    EXPECT_EQ(dec29.All(TextRole::Holiday)[0]->box.top(), dec29.content.top());
    EXPECT_EQ(c.At(D(2027, 1, 1)).All(TextRole::Holiday).at(0)->text, u"元日"_qs);
}

TEST(WSchedulerPaint, SixDayLabels)
{
    Painted c(days::MomentOf(D(2017, 6, 24), 600));
    TWScheduler& cal = c.cal;
    EXPECT_EQ(c.At(D(2017, 6, 24)).Find(TextRole::Rokuyo), nullptr);
    cal.SetDispRokuyo(true);
    struct Case
    {
        days::Day date;
        const char16_t* name;
        TColor color;
    };
    for (const Case& k :
         { Case { D(2017, 6, 24), u"大安", 0x0000FF }, Case { D(2020, 5, 23), u"仏滅", 0x808080 },
           Case { D(2025, 7, 25), u"赤口", 0x000000 } }) {
        for (TGridType type : { gtMonthly, gtWeekly }) {
            cal.SetGridType(type);
            cal.SetCurrentDate(k.date);
            const CellModel m = c.At(k.date);
            const TextPiece* label = m.Find(TextRole::Rokuyo);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text, QString::fromUtf16(k.name));
            EXPECT_EQ(label->color, Rgb(k.color));
            EXPECT_EQ(label->font.pointSize(), 8);
            // It has the room it needs.
            EXPECT_GE(label->box.width(), QFontMetrics(label->font).horizontalAdvance(label->text));
            EXPECT_TRUE(label->clip.contains(label->box.topLeft()));
            const TextPiece* number = m.Find(TextRole::DayNumber);
            if (type == gtMonthly) {
                EXPECT_EQ(
                    label->box.topLeft(),
                    number->box.topLeft() +
                        QPoint(QFontMetrics(number->font).horizontalAdvance(number->text) + 2, 0));
            } else {
                EXPECT_GT(label->box.top(), m.Find(TextRole::Weekday)->box.top());
            }
        }
    }
}

// At any size from the smallest the calendar asks for, every text of a
// day cell is whole: the day number always, a label or name only when it
// fits, and never over the day number.
TEST(WSchedulerPaint, DayNumbersWholeLabelsAndNamesWholeOrLeftOut)
{
    Painted c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = c.cal;
    QFont font = cal.font();
    font.setPointSize(9);
    cal.SetDateFont(font);
    cal.SetEventFont(font, colors::clBlack);
    cal.SetDispRokuyo(true);
    QTemporaryDir dir;
    const std::string personal = dir.filePath("Kalvero.phd").toStdString();
    ASSERT_TRUE(files::WriteAtomic(personal,
                                   U("5,13,0,2000,9999,5,大掃除\r\n5,14,0,2000,9999,2,"
                                     "とても長い名前の記念日\r\n5,14,0,2000,9999,7,月例\r\n")));
    ASSERT_TRUE(cal.LoadHolidays(personal, true));
    cal.AddEvent(Item("会議", D(2026, 5, 13), 600, 660, 30));
    std::set<TextRole> seen;
    int leftOut = 0;
    for (const TGridType type : { gtMonthly, gtWeekly }) {
        cal.SetGridType(type);
        const QSize least = cal.minimumSizeHint();
        for (const bool autoTitle : { false, true }) {
            cal.SetAutoTitle(autoTitle);
            for (const QSize size : { least, least + QSize(60, 40), QSize(840, 720) }) {
                SCOPED_TRACE(testing::Message() << "type " << type << " autoTitle " << autoTitle
                                                << " " << size.width() << "x" << size.height());
                cal.resize(size);
                for (int i = 0; i < (type == gtMonthly ? 42 : 7); ++i) {
                    const days::Day date = cal.FirstCellDate() + i;
                    const CellModel m = c.At(date);
                    const TextPiece* number = m.Find(TextRole::DayNumber);
                    ASSERT_NE(number, nullptr) << days::FormatIso(date);
                    const QFontMetrics numberMetrics(number->font);
                    const QRect numberGlyphs(number->box.topLeft(),
                                             QSize(numberMetrics.horizontalAdvance(number->text),
                                                   numberMetrics.ascent()));
                    for (const TextPiece& t : m.texts) {
                        seen.insert(t.role);
                        const QFontMetrics metrics(t.font);
                        const QRect extent(
                            t.box.topLeft(),
                            QSize(metrics.horizontalAdvance(t.text), metrics.height()));
                        EXPECT_TRUE(t.clip.contains(extent) && m.rect.contains(extent))
                            << days::FormatIso(date) << " " << t.text.toStdString();
                        if (&t != number) {
                            EXPECT_FALSE(extent.intersects(numberGlyphs))
                                << days::FormatIso(date) << " " << t.text.toStdString();
                        }
                    }
                    leftOut += NoSixDayLabel(m) ? 1 : 0;
                }
            }
        }
    }
    // Labels and names were shown where they fitted and left out elsewhere.
    for (TextRole role :
         { TextRole::Rokuyo, TextRole::Holiday, TextRole::Heading, TextRole::Weekday })
        EXPECT_TRUE(seen.count(role)) << int(role);
    EXPECT_GT(leftOut, 0);
}

TEST(WSchedulerPaint, WeekRows)
{
    Painted c(days::MomentOf(D(2026, 5, 27), 600));
    TWScheduler& cal = c.cal;
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

    const CellModel sunday = c.At(D(2026, 5, 31));
    EXPECT_EQ(sunday.Find(TextRole::Heading)->text, u"5月"_qs); // the first row
    EXPECT_EQ(sunday.Find(TextRole::Heading)->color, Rgb(colors::clBlack)); // the event font's
    EXPECT_EQ(sunday.Find(TextRole::Weekday)->text, u"(日)"_qs);
    EXPECT_EQ(sunday.background, Rgb(0xEEEEFF));
    // The selected row: a sunken date column, the frame around the items.
    const QColor shadow = colors::ToQColor(colors::clBtnShadow, cal.palette());
    ASSERT_EQ(sunday.bevels.size(), 1u);
    EXPECT_EQ(sunday.bevels[0].topLeft, shadow);
    EXPECT_EQ(sunday.bevels[0].width, 2);
    EXPECT_EQ(sunday.frameArea.left(), sunday.rect.left() + 80);
    EXPECT_EQ(img.pixelColor(sunday.frameArea.topLeft() + QPoint(1, 1)), Rgb(0x0000FF));
    EXPECT_EQ(img.pixelColor(sunday.rect.topLeft()).rgb(), shadow.rgb());
    // The first of June: its heading, full colours, a raised date column.
    const CellModel june = c.At(D(2026, 6, 1));
    EXPECT_EQ(june.Find(TextRole::Heading)->text, u"6月"_qs);
    EXPECT_EQ(june.background, Rgb(colors::clWhite));
    EXPECT_EQ(june.bevels[0].topLeft, colors::ToQColor(colors::clBtnHighlight, cal.palette()));
    ASSERT_EQ(june.lines.size(), 1u);
    EXPECT_EQ(june.lines[0].text.text, u"10:00～10:30 六月"_qs);
    EXPECT_EQ(june.lines[0].text.color, Rgb(colors::clBlack));
    EXPECT_EQ(c.At(D(2026, 6, 2)).Find(TextRole::Heading), nullptr);
    EXPECT_EQ(img.pixelColor(june.rect.bottomRight() - QPoint(2, 2)), Rgb(colors::clWhite));

    // An end time only when there is one; a done item keeps its times; the
    // lines start one pixel inside the frame; AutoTitle does not apply.
    cal.SetCurrentDate(D(2026, 5, 27));
    const CellModel wed = c.At(D(2026, 5, 27));
    ASSERT_EQ(wed.lines.size(), 3u);
    EXPECT_EQ(wed.lines[0].text.text, u"09:00～10:00 報告書"_qs);
    EXPECT_EQ(wed.lines[0].text.color, Rgb(0x808080));
    EXPECT_EQ(wed.lines[1].text.text, u"09:30 朝会"_qs);
    EXPECT_EQ(wed.lines[2].text.text, u"10:00～11:00 会議"_qs);
    EXPECT_EQ(wed.lines[0].fill.topLeft(), wed.frameArea.topLeft() + QPoint(4, 4));
}

TEST(WSchedulerPaint, DrawEventReplacesMonthCellContent)
{
    Painted c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = c.cal;
    cal.SetAutoTitle(true);
    cal.AddEvent(Item("会議", D(2026, 5, 13), 600, 660));
    std::vector<days::Day> asked;
    cal.OnDrawEvent = [&](TWScheduler*, days::Day date, QPainter& p, const QRect& r) {
        asked.push_back(date);
        p.fillRect(r, QColor(0, 160, 0));
    };
    c.Focus(false);
    const QImage img = c.Shot();
    EXPECT_EQ(asked.size(), 42u);
    const CellModel m = c.At(D(2026, 5, 13));
    EXPECT_TRUE(m.custom);
    EXPECT_TRUE(m.texts.empty() && m.lines.empty());
    EXPECT_EQ(img.pixelColor(m.content.topLeft()), QColor(0, 160, 0));
    EXPECT_EQ(img.pixelColor(m.rect.topLeft()), Rgb(0x808080)); // the frame stays
    EXPECT_NE(cal.CellModel(3, 0, gdFixed).Find(TextRole::Header), nullptr);

    // A throwing handler: painting goes on, the user is told once.
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
    cal.OnDrawEvent = [&](TWScheduler*, days::Day d, QPainter&, const QRect&) {
        asked.push_back(d);
    };
    cal.SetGridType(gtWeekly);
    c.Shot();
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(c.At(D(2026, 5, 13)).lines.empty());
}

TEST(WSchedulerPaint, TheFirstAndLastMonthsOfTheCalendarPaint)
{
    Painted c(days::MomentOf(D(2026, 5, 13), 600));
    TWScheduler& cal = c.cal;
    cal.SetAutoTitle(true);
    cal.SetDispRokuyo(true);
    cal.AddEvent(Item("元日", D(1900, 1, 1)));
    cal.AddEvent(Item("大晦日", D(9999, 12, 31), 600, 660));
    for (const days::Day day : { D(1900, 1, 1), D(9999, 12, 31) }) {
        for (const TGridType type : { gtMonthly, gtWeekly }) {
            cal.SetGridType(type);
            cal.SetCurrentDate(day);
            EXPECT_FALSE(c.Shot().isNull());
            // The store lists nothing before its day 1 (1899-12-31).
            EXPECT_EQ(c.At(day).lines.size(), day > 0 ? 1u : 0u);
        }
        cal.SetGridType(gtMonthly);
        cal.MoveBy(day < 9 ? -1 : 1, 0);
        cal.MoveBy(0, day < 9 ? -1 : 1);
        EXPECT_EQ(cal.CurrentDate(), day);
    }
}
