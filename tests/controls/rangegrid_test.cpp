#include "controls/rangegrid.h"

#include "widgets.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>

#include <climits>

namespace {

// The entry dialog's ruler: 29 h 15 min in 15-minute columns of 16 pixels,
// 20 columns in view.
struct Ruler
{
    QWidget form;
    TRangeGrid& g = *new TRangeGrid(&form);
    Ruler()
    {
        g.SetMaxRange(1755);
        g.SetDefaultColWidth(16);
        g.setGeometry(0, 0, 20 * 17 + 2 * g.frameWidth(), 60);
        ShowAt(form, 400, 100);
    }
    QColor Sys(TColor c) const { return colors::ToQColor(c, g.palette()); }
    QImage Shot() const { return g.viewport()->grab().toImage(); }
};

// A pixel in the last row of a cell, below the minute label.
QColor Bottom(const QImage& img, const QRect& cell, int dx)
{
    return img.pixelColor(cell.left() + dx, cell.bottom());
}

bool Any(const QImage& img, const QRect& r, bool (*match)(QColor))
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (match(img.pixelColor(x, y)))
                return true;
    return false;
}

bool Reddish(QColor c)
{
    return c.red() > 150 && c.green() < 100 && c.blue() < 100;
}

bool Bluish(QColor c)
{
    return c.blue() > 150 && c.red() < 100 && c.green() < 100;
}

} // namespace

TEST(RangeGrid, RulerLengthAndTimeUnit)
{
    TRangeGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    g.SetMaxRange(-1);
    g.SetMaxRange(12);
    EXPECT_EQ(g.MaxRange(), 0);
    g.SetMaxRange(1755);
    EXPECT_EQ(g.ColCount(), 117);

    const std::pair<int, int> units[] = { { 7, 8 },   { 25, 30 }, { 45, 60 }, { 15, 15 },
                                          { 11, 12 }, { 13, 15 }, { 31, 60 }, { 1, 1 } };
    for (auto [given, unit] : units) {
        g.SetTimeUnit(given);
        EXPECT_EQ(g.TimeUnit(), unit) << given;
        EXPECT_EQ(g.ColCount(), 1755 / unit) << given;
    }
    for (int ignored : { 0, -5, 61 }) {
        g.SetTimeUnit(ignored);
        EXPECT_EQ(g.TimeUnit(), 1);
    }
    g.SetMaxRange(13);
    g.SetTimeUnit(60);
    EXPECT_EQ(g.ColCount(), 1); // never no column
}

TEST(RangeGrid, SettersPushEachOther)
{
    TRangeGrid g;
    g.SetMaxRange(1755);
    QSignalSpy fired(&g, &TRangeGrid::OnSelectTime);
    g.SetEndTime(660);
    g.SetBeginTime(600);
    g.SetBeginTime(700); // pushes the end first, then applies again
    EXPECT_EQ(g.EndTime(), 715);
    EXPECT_EQ(fired.count(), 4);
    g.SetEndTime(500);
    EXPECT_EQ(g.BeginTime(), 485);
    EXPECT_EQ(g.Selection(), (TGridRect { 32, 1, 33, 1 }));
    // The ends of the integer range neither overflow nor loop.
    g.SetBeginTime(INT_MAX);
    EXPECT_LT(g.BeginTime(), g.EndTime());
    g.SetEndTime(INT_MIN);
    EXPECT_LT(g.BeginTime(), g.EndTime());
}

TEST(RangeGrid, PartialCellsShowTheirExactExtent)
{
    Ruler r;
    r.g.SetBeginTime(605);
    r.g.SetEndTime(650);
    EXPECT_EQ(r.g.Selection(), (TGridRect { 40, 1, 43, 1 }));
    const QImage img = r.Shot();
    const QColor hl = r.Sys(colors::clHighlight);
    const QColor bg = r.Sys(colors::clWindow);
    const QRect c40 = r.g.CellRect(40, 1);
    const QRect c43 = r.g.CellRect(43, 1);
    ASSERT_EQ(c40.width(), 16);
    EXPECT_EQ(Bottom(img, c40, 4), bg); // from 605: x + 5
    EXPECT_EQ(Bottom(img, c40, 5), hl);
    EXPECT_EQ(Bottom(img, r.g.CellRect(41, 1), 0), hl);
    EXPECT_EQ(Bottom(img, r.g.CellRect(41, 1), 15), hl);
    EXPECT_EQ(Bottom(img, c43, 5), hl); // up to 650: right - 10
    EXPECT_EQ(Bottom(img, c43, 6), bg);
    EXPECT_EQ(Bottom(img, r.g.CellRect(44, 1), 8), bg);
}

TEST(RangeGrid, SpansOffTheRulerShowNothing)
{
    Ruler r;
    auto lit = [&] {
        const QImage img = r.Shot();
        int n = 0;
        for (int c = r.g.LeftCol(); c < r.g.LeftCol() + 20; ++c)
            n += Bottom(img, r.g.CellRect(c, 1), 8) == r.Sys(colors::clHighlight);
        return n;
    };
    r.g.SetBeginTime(-15); // where the entry dialog starts
    r.g.SetEndTime(0);
    EXPECT_EQ(lit(), 0);
    EXPECT_EQ(r.g.Selection(), (TGridRect { 0, 1, 0, 1 }));
    r.g.SetEndTime(5000); // beyond the ruler
    r.g.SetBeginTime(1740);
    EXPECT_EQ(r.g.Selection(), (TGridRect { 116, 1, 116, 1 }));
    EXPECT_EQ(r.g.LeftCol(), 97);
    EXPECT_EQ(lit(), 1);
    r.g.SetBeginTime(3000);
    EXPECT_EQ(lit(), 0);
}

TEST(RangeGrid, BeginIsScrolledIntoViewWithAnHourBeforeIt)
{
    Ruler r;
    ASSERT_EQ(r.g.VisibleColCount(), 20);
    r.g.SetEndTime(2000);
    const std::pair<int, int> steps[] = {
        { 80, 76 }, { 40, 36 }, { 52, 36 }, { 53, 49 }, { 2, 0 }
    };
    for (auto [col, left] : steps) {
        r.g.SetBeginTime(col * 15);
        EXPECT_EQ(r.g.LeftCol(), left) << col;
    }
}

TEST(RangeGrid, MouseDragsAndArrowKeysMoveTheSpan)
{
    Ruler r;
    TRangeGrid& g = r.g;
    QWidget* vp = g.viewport();
    QSignalSpy fired(&g, &TRangeGrid::OnSelectTime);
    auto at = [&](int col, int row) { return g.CellRect(col, row).center(); };
    QTest::mousePress(vp, Qt::LeftButton, {}, at(3, 1));
    EXPECT_EQ(std::make_pair(g.BeginTime(), g.EndTime()), std::make_pair(45, 60));
    QTest::mouseMove(vp, at(6, 1), 0);
    EXPECT_EQ(std::make_pair(g.BeginTime(), g.EndTime()), std::make_pair(45, 105));
    QTest::mouseMove(vp, at(1, 1), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at(1, 1));
    EXPECT_EQ(std::make_pair(g.BeginTime(), g.EndTime()), std::make_pair(15, 60));
    EXPECT_EQ(fired.count(), 3);

    // Moving without the button, the right button, the header and keys
    // other than the arrows leave the span (and its highlight) alone.
    QTest::mouseMove(vp, at(8, 1), 0);
    QTest::mouseClick(vp, Qt::RightButton, {}, at(9, 1));
    QTest::mouseClick(vp, Qt::LeftButton, {}, at(9, 0));
    QTest::keyClick(&g, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(std::make_pair(g.BeginTime(), g.EndTime()), std::make_pair(15, 60));
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 3, 1 }));
    EXPECT_EQ(fired.count(), 3);
    // Right moves the span a column on; Shift+Left takes a column off its end.
    QTest::keyClick(&g, Qt::Key_Right);
    QTest::keyClick(&g, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(std::make_pair(g.BeginTime(), g.EndTime()), std::make_pair(30, 60));
}

TEST(RangeGrid, RowsShareTheClientHeight)
{
    // Shown for the first time, the ruler trims its client height to whole
    // rows: an odd height loses its last pixel.
    QWidget form;
    auto* g = new TRangeGrid(&form);
    g->SetMaxRange(1755);
    g->setGeometry(0, 0, 300, 61);
    ShowAt(form, 400, 100);
    const int nonClient = 60 - g->ClientHeight();
    EXPECT_EQ(g->height(), 60);
    EXPECT_EQ(g->ClientHeight() % 2, 0);
    EXPECT_EQ(g->DefaultRowHeight() * 2, g->ClientHeight());
    g->SetClientHeight(41);
    QApplication::processEvents();
    EXPECT_EQ(g->RowHeights(1), 20);
    // In a layout it asks for two rows of 15 pixels.
    TRangeGrid fresh;
    EXPECT_EQ(fresh.sizeHint().height(), 30 + nonClient);
}

// An hour label is drawn whole from its hour's column on, over the room
// between the columns ("10", not "1("); one that the right edge would cut
// is left out.
TEST(RangeGrid, HourLabelsAreWholeOrLeftOut)
{
    Ruler r;
    const QColor face = r.Sys(colors::clBtnFace);
    QFont font = r.g.font();
    font.setPointSize(10);
    font.setBold(true);
    const QFontMetrics fm(font);
    for (const int begin : { 600, 1065 }) { // 10:00, 17:45
        SCOPED_TRACE(begin);
        r.g.SetEndTime(begin + 30);
        r.g.SetBeginTime(begin);
        const QImage shot = r.Shot();
        int whole = 0;
        int last = r.g.LeftCol();
        for (int col = r.g.LeftCol(); col < r.g.ColCount() && r.g.CellRect(col, 0).isValid();
             ++col) {
            if (col % 4 != 0)
                continue;
            const QString label = QString::number(col / 4);
            const QRect cell = r.g.CellRect(col, 0);
            const QRect box(cell.left(), 0, fm.horizontalAdvance(label), cell.bottom() + 1);
            if (box.right() >= r.g.ClientWidth())
                break;
            // The label as it looks drawn alone on the header's face.
            QImage alone(shot.size(), shot.format());
            alone.fill(face);
            QPainter p(&alone);
            p.setFont(font);
            p.setPen(r.Sys(colors::clWindowText));
            p.drawText(
                QRect(cell.left(), cell.bottom() + 1 - fm.height(), box.width(), fm.height()),
                Qt::AlignLeft | Qt::AlignTop, label);
            p.end();
            EXPECT_TRUE(shot.copy(box) == alone.copy(box)) << label.toStdString();
            ++whole;
            last = box.right() + 1;
        }
        EXPECT_GE(whole, 4);
        // Right of the last whole label the header shows only its face.
        for (int x = last + 1; x < r.g.ClientWidth(); ++x)
            for (int y = 0; y < r.g.RowHeights(0); ++y)
                ASSERT_EQ(shot.pixelColor(x, y), face) << x << "," << y;
    }
}

TEST(RangeGrid, PaintingDependsOnlyOnThePropertiesAndTheEnabledState)
{
    Ruler r;
    r.g.SetEndTime(150);
    r.g.SetBeginTime(105); // columns 7 to 9
    const QImage full = r.Shot();
    // One cell painted alone gets the pixels the whole paint gave it: no
    // cell draws over another (the hour labels lie on one band).
    for (int col : { 0, 1, 4, 5, 8 }) {
        const QRect cell = r.g.CellRect(col, 0).adjusted(0, 0, 1, 0);
        QImage alone(full.size(), full.format());
        alone.fill(Qt::black);
        r.g.viewport()->render(&alone, cell.topLeft(), QRegion(cell));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ASSERT_EQ(alone.pixelColor(x, y), full.pixelColor(x, y)) << col << " " << x;
    }
    const QColor face = r.Sys(colors::clBtnFace);
    const int right = r.g.CellRect(2, 0).right();
    EXPECT_EQ(full.pixelColor(right, 1), face); // one band, the lines' room included
    EXPECT_EQ(full.pixelColor(right + 1, 1), face);
    // Minute labels: red on the full hour, blue on the half hour.
    EXPECT_TRUE(Any(full, r.g.CellRect(4, 1), Reddish));
    EXPECT_FALSE(Any(full, r.g.CellRect(4, 1), Bluish));
    EXPECT_TRUE(Any(full, r.g.CellRect(6, 1), Bluish));
    EXPECT_FALSE(Any(full, r.g.CellRect(5, 1), Reddish));
    EXPECT_EQ(Bottom(full, r.g.CellRect(8, 1), 8), r.Sys(colors::clHighlight));

    r.g.setEnabled(false); // button face everywhere, the span not shown
    const QImage off = r.Shot();
    EXPECT_EQ(Bottom(off, r.g.CellRect(8, 1), 8), face);
    EXPECT_EQ(Bottom(off, r.g.CellRect(12, 1), 8), face);
    EXPECT_FALSE(Any(off, r.g.CellRect(4, 1), Reddish));
}
