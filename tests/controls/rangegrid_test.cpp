#include "controls/rangegrid.h"

#include "widgets.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>

namespace {

// The entry dialog's ruler: 29 h 15 min in 15-minute columns of 16 pixels.
struct Ruler
{
    QWidget form;
    TRangeGrid& grid = *new TRangeGrid(&form);
    Ruler(int visibleColumns = 20)
    {
        grid.SetMaxRange(1755);
        grid.SetDefaultColWidth(16);
        grid.setGeometry(0, 0, visibleColumns * 17 + 2 * grid.frameWidth(), 60);
        ShowAt(form, 400, 100);
    }
};

QColor Highlight(const QWidget& w)
{
    return colors::ToQColor(colors::clHighlight, w.palette());
}

QColor Window(const QWidget& w)
{
    return colors::ToQColor(colors::clWindow, w.palette());
}

QColor BtnFace(const QWidget& w)
{
    return colors::ToQColor(colors::clBtnFace, w.palette());
}

// Pixels of a cell in the last row of the cell, below the minute label.
QColor Bottom(const QImage& img, const QRect& cell, int dx)
{
    return img.pixelColor(cell.left() + dx, cell.bottom());
}

int CountPixels(const QImage& img, const QRect& r, bool (*match)(QColor))
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(img.pixelColor(x, y));
    return n;
}

} // namespace

TEST(RangeGrid, ConstructionAndRulerLength)
{
    TRangeGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.TimeUnit(), 15);
    EXPECT_EQ(g.MaxRange(), 0);
    EXPECT_EQ(g.DefaultColWidth(), 15);
    EXPECT_EQ(g.DefaultRowHeight(), 15);
    EXPECT_EQ(g.ScrollBars(), ssHorizontal);
    EXPECT_EQ(g.Options(), goVertLine | goRangeSelect | goDrawFocusSelected | goThumbTracking);

    g.SetMaxRange(-1);
    g.SetMaxRange(12);
    EXPECT_EQ(g.MaxRange(), 0);
    g.SetMaxRange(1755);
    EXPECT_EQ(g.ColCount(), 117);
    g.SetMaxRange(13);
    g.SetTimeUnit(60);
    EXPECT_EQ(g.ColCount(), 1); // never no column
}

TEST(RangeGrid, TimeUnitRoundsToWholeColumnsPerHour)
{
    TRangeGrid g;
    g.SetMaxRange(1755);
    const std::pair<int, int> cases[] = {
        { 7, 8 },   { 25, 30 }, { 45, 60 }, { 15, 15 }, { 1, 1 },
        { 60, 60 }, { 11, 12 }, { 13, 15 }, { 40, 60 }, { 31, 60 }
    };
    for (auto [given, unit] : cases) {
        g.SetTimeUnit(given);
        EXPECT_EQ(g.TimeUnit(), unit) << given;
        EXPECT_EQ(g.ColCount(), 1755 / unit) << given;
    }
    g.SetTimeUnit(15);
    for (int ignored : { 0, -5, 61, 1000 }) {
        g.SetTimeUnit(ignored);
        EXPECT_EQ(g.TimeUnit(), 15);
    }
}

TEST(RangeGrid, SettersPushEachOther)
{
    TRangeGrid g;
    g.SetMaxRange(1755);
    QSignalSpy fired(&g, &TRangeGrid::OnSelectTime);
    g.SetEndTime(660);
    g.SetBeginTime(600);
    EXPECT_EQ(fired.count(), 2);

    g.SetBeginTime(700); // pushes the end first, then applies again
    EXPECT_EQ(g.BeginTime(), 700);
    EXPECT_EQ(g.EndTime(), 715);
    EXPECT_EQ(fired.count(), 4);

    g.SetEndTime(500);
    EXPECT_EQ(g.BeginTime(), 485);
    EXPECT_EQ(g.EndTime(), 500);
    EXPECT_EQ(g.Selection(), (TGridRect { 32, 1, 33, 1 }));

    // The extremes of the integer range neither overflow nor loop.
    g.SetBeginTime(INT_MAX);
    EXPECT_LT(g.BeginTime(), g.EndTime());
    g.SetEndTime(INT_MIN);
    EXPECT_LT(g.BeginTime(), g.EndTime());
}

TEST(RangeGrid, PartialCellsShowTheirExactExtent)
{
    Ruler r;
    TRangeGrid& g = r.grid;
    g.SetBeginTime(605);
    g.SetEndTime(650);
    EXPECT_EQ(g.Selection(), (TGridRect { 40, 1, 43, 1 }));
    const QImage img = g.viewport()->grab().toImage();
    const QRect c40 = g.CellRect(40, 1);
    const QRect c41 = g.CellRect(41, 1);
    const QRect c43 = g.CellRect(43, 1);
    const QRect c44 = g.CellRect(44, 1);
    ASSERT_EQ(c40.width(), 16);
    ASSERT_FALSE(c44.isEmpty());
    // Column 40 from minute 605: 5 of 15 minutes in, x + 5.
    EXPECT_EQ(Bottom(img, c40, 4), Window(g));
    EXPECT_EQ(Bottom(img, c40, 5), Highlight(g));
    EXPECT_EQ(Bottom(img, c40, 15), Highlight(g));
    EXPECT_EQ(Bottom(img, c41, 0), Highlight(g));
    EXPECT_EQ(Bottom(img, c41, 15), Highlight(g));
    // Column 43 up to minute 650: 10 of 15 minutes short, right - 10.
    EXPECT_EQ(Bottom(img, c43, 5), Highlight(g));
    EXPECT_EQ(Bottom(img, c43, 6), Window(g));
    EXPECT_EQ(Bottom(img, c44, 8), Window(g));
}

TEST(RangeGrid, SpansOffTheRulerShowNothing)
{
    Ruler r;
    TRangeGrid& g = r.grid;
    auto highlighted = [&] {
        const QImage img = g.viewport()->grab().toImage();
        int n = 0;
        for (int c = g.LeftCol(); c < g.LeftCol() + g.VisibleColCount(); ++c)
            n += Bottom(img, g.CellRect(c, 1), 8) == Highlight(g);
        return n;
    };
    // The entry dialog starts at -15..0.
    g.SetBeginTime(-15);
    g.SetEndTime(0);
    EXPECT_EQ(g.LeftCol(), 0);
    EXPECT_EQ(highlighted(), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 0, 1, 0, 1 }));

    // An end far beyond the ruler: the last column only.
    g.SetEndTime(5000);
    g.SetBeginTime(1740);
    EXPECT_EQ(g.Selection(), (TGridRect { 116, 1, 116, 1 }));
    EXPECT_EQ(g.LeftCol(), 117 - g.VisibleColCount());
    EXPECT_EQ(highlighted(), 1);
    g.SetBeginTime(3000);
    EXPECT_EQ(highlighted(), 0);
}

TEST(RangeGrid, BeginIsScrolledIntoViewWithAnHourBeforeIt)
{
    Ruler r(20);
    TRangeGrid& g = r.grid;
    ASSERT_EQ(g.VisibleColCount(), 20);
    g.SetEndTime(2000);
    g.SetBeginTime(80 * 15); // column 80, beyond the view
    EXPECT_EQ(g.LeftCol(), 76);
    g.SetBeginTime(40 * 15); // before the view
    EXPECT_EQ(g.LeftCol(), 36);
    g.SetBeginTime(52 * 15); // the last column that needs no scrolling
    EXPECT_EQ(g.LeftCol(), 36);
    g.SetBeginTime(53 * 15);
    EXPECT_EQ(g.LeftCol(), 49);
    g.SetBeginTime(30);
    EXPECT_EQ(g.LeftCol(), 0);
}

TEST(RangeGrid, MouseDragsTheSpanBothWays)
{
    Ruler r;
    TRangeGrid& g = r.grid;
    g.SetBeginTime(600);
    g.SetEndTime(660);
    g.SetLeftCol(0);
    QWidget* vp = g.viewport();
    QSignalSpy fired(&g, &TRangeGrid::OnSelectTime);

    QTest::mousePress(vp, Qt::LeftButton, {}, g.CellRect(3, 1).center());
    EXPECT_EQ(g.BeginTime(), 45);
    EXPECT_EQ(g.EndTime(), 60);
    EXPECT_EQ(fired.count(), 1);
    QTest::mouseMove(vp, g.CellRect(6, 1).center(), 0);
    EXPECT_EQ(g.BeginTime(), 45);
    EXPECT_EQ(g.EndTime(), 105);
    QTest::mouseMove(vp, g.CellRect(1, 1).center(), 0);
    EXPECT_EQ(g.BeginTime(), 15);
    EXPECT_EQ(g.EndTime(), 60);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, g.CellRect(1, 1).center());
    EXPECT_EQ(fired.count(), 3);
    QTest::mouseMove(vp, g.CellRect(8, 1).center(), 0); // released: no drag
    EXPECT_EQ(g.EndTime(), 60);

    // The right button and the header leave the span alone.
    QTest::mouseClick(vp, Qt::RightButton, {}, g.CellRect(9, 1).center());
    QTest::mouseClick(vp, Qt::LeftButton, {}, g.CellRect(9, 0).center());
    EXPECT_EQ(g.BeginTime(), 15);
    EXPECT_EQ(g.EndTime(), 60);
    EXPECT_EQ(fired.count(), 3);

    // The keys do not move a highlight the times would not follow.
    g.setFocus();
    QTest::keyClick(&g, Qt::Key_Right);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_End);
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 3, 1 }));
    EXPECT_EQ(g.BeginTime(), 15);
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
    const int nonClient = 61 - (g->ClientHeight() + 1);
    EXPECT_EQ(g->ClientHeight() % 2, 0);
    EXPECT_EQ(g->viewport()->height(), g->ClientHeight());
    EXPECT_EQ(g->DefaultRowHeight() * 2, g->ClientHeight());
    EXPECT_EQ(g->height(), 60);

    g->SetClientHeight(41);
    QApplication::processEvents();
    EXPECT_EQ(g->DefaultRowHeight(), 20);
    EXPECT_EQ(g->RowHeights(1), 20);

    // In a layout it asks for two rows of 15 pixels.
    TRangeGrid fresh;
    fresh.SetMaxRange(1755);
    EXPECT_EQ(fresh.sizeHint().height(), 30 + nonClient);
}

TEST(RangeGrid, PaintingDependsOnlyOnThePropertiesAndTheEnabledState)
{
    Ruler r;
    TRangeGrid& g = r.grid;
    g.SetEndTime(150);
    g.SetBeginTime(105); // columns 7 to 9
    ASSERT_EQ(g.LeftCol(), 0);
    QImage full = g.viewport()->grab().toImage();

    // Painting one cell alone gives the pixels the whole paint gave it, so
    // no cell draws over another (the hour labels lie on one band).
    for (int col : { 0, 1, 4, 5, 8 }) {
        const QRect cell = g.CellRect(col, 0).adjusted(0, 0, 1, 0);
        QImage alone(full.size(), full.format());
        alone.fill(Qt::black);
        g.viewport()->render(&alone, cell.topLeft(), QRegion(cell));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ASSERT_EQ(alone.pixelColor(x, y), full.pixelColor(x, y)) << col << " " << x;
    }

    // The header is one band of button face, the lines' room included.
    EXPECT_EQ(full.pixelColor(g.CellRect(2, 0).right(), 1), BtnFace(g));
    EXPECT_EQ(full.pixelColor(g.CellRect(2, 0).right() + 1, 1), BtnFace(g));
    // Minute labels: red for the full hour, blue for the half hour.
    auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    auto bluish = [](QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; };
    EXPECT_GT(CountPixels(full, g.CellRect(4, 1), reddish), 0);
    EXPECT_EQ(CountPixels(full, g.CellRect(4, 1), bluish), 0);
    EXPECT_GT(CountPixels(full, g.CellRect(6, 1), bluish), 0);
    EXPECT_EQ(CountPixels(full, g.CellRect(5, 1), reddish), 0);

    // Disabled: button face everywhere, the span not shown.
    g.setEnabled(false);
    const QImage off = g.viewport()->grab().toImage();
    EXPECT_EQ(Bottom(full, g.CellRect(8, 1), 8), Highlight(g));
    EXPECT_EQ(Bottom(off, g.CellRect(8, 1), 8), BtnFace(g));
    EXPECT_EQ(Bottom(off, g.CellRect(12, 1), 8), BtnFace(g));
    EXPECT_EQ(CountPixels(off, g.CellRect(4, 1), reddish), 0);
}
