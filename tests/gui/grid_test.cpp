#include "gui/grid.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// Paints each cell in a colour of its own and records what the base hands
// to DrawCell.
class ProbeGrid : public TCustomGrid
{
public:
    // No border, no scroll bars, cols x rows cells of 20 x 10 pixels.
    ProbeGrid(int cols, int rows, TScrollStyle bars = ssNone)
    {
        SetBorderStyle(bsNone);
        SetScrollBars(bars);
        SetColCount(cols);
        SetRowCount(rows);
        SetDefaultColWidth(20);
        SetDefaultRowHeight(10);
    }
    void Show(int width, int height)
    {
        resize(width, height);
        show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this));
    }
    QImage Shot()
    {
        states.clear();
        brushes.clear();
        return viewport()->grab().toImage();
    }
    void Click(int col, int row, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(viewport(), Qt::LeftButton, mods, CellRect(col, row).center());
    }

    std::map<std::pair<int, int>, TGridDrawState> states;
    std::vector<Qt::BrushStyle> brushes; // the painter's brush as each cell begins
    std::function<bool(int, int)> veto;
    std::function<void(int, int, bool)> navigate;

    static QColor CellColor(int col, int row) { return QColor(10 + col * 20, 10 + row * 20, 200); }

protected:
    void DrawCell(QPainter& p, int col, int row, const QRect& rect, TGridDrawState state) override
    {
        states[{ col, row }] = state;
        brushes.push_back(p.brush().style());
        p.fillRect(rect, CellColor(col, row));
        p.setBrush(Qt::red); // left behind on purpose
    }
    bool SelectCell(int col, int row) override { return veto ? veto(col, row) : true; }
    void NavigateTo(int col, int row, bool extend) override
    {
        if (navigate)
            navigate(col, row, extend);
        else
            TCustomGrid::NavigateTo(col, row, extend);
    }
};

TGridDrawState StateOf(ProbeGrid& g, int col, int row)
{
    return g.states[std::make_pair(col, row)];
}

} // namespace

TEST(Grid, GeometryAndHitTesting)
{
    ProbeGrid g(4, 3);
    g.SetColWidths(2, 30);
    g.SetRowHeights(0, 12);
    g.SetGridLineWidth(2);
    g.Show(200, 100);
    EXPECT_EQ(g.CellRect(0, 0), QRect(0, 0, 20, 12));
    EXPECT_EQ(g.CellRect(3, 2), QRect(76, 26, 20, 10));
    // A point on a line belongs to the cell before it; beyond the cells none.
    EXPECT_EQ(g.MouseCoord(21, 13), (TGridCoord { 0, 0 }));
    EXPECT_EQ(g.MouseCoord(22, 14), (TGridCoord { 1, 1 }));
    EXPECT_FALSE(g.MouseCoord(98, 5).Valid());
    EXPECT_FALSE(g.MouseCoord(5, 38).Valid());

    // Without lines after scrollable cells there is no room for them; the
    // fixed column keeps its line.
    g.SetOptions(goFixedVertLine | goFixedHorzLine);
    EXPECT_EQ(g.CellRect(2, 1), QRect(42, 14, 30, 10));
    EXPECT_EQ(g.CellRect(3, 2), QRect(72, 24, 20, 10));
    // A new default size resets every column; new columns get it.
    g.SetDefaultColWidth(15);
    g.SetColCount(6);
    EXPECT_EQ(g.ColWidths(2), 15);
    EXPECT_EQ(g.ColWidths(5), 15);
    EXPECT_TRUE(g.CellRect(6, 0).isEmpty());
}

TEST(Grid, ClientAreaMatchesTheViewport)
{
    TCustomGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.resize(300, 200);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    for (int step = 0; step < 3; ++step) {
        if (step == 1)
            g.SetColCount(30); // a horizontal bar appears
        if (step == 2)
            g.SetRowCount(30);
        QApplication::processEvents();
        EXPECT_EQ(g.horizontalScrollBar()->isVisible(), step >= 1);
        EXPECT_EQ(g.verticalScrollBar()->isVisible(), step >= 2);
        EXPECT_EQ(g.ClientWidth(), g.viewport()->width());
        EXPECT_EQ(g.ClientHeight(), g.viewport()->height());
    }
    g.SetClientHeight(77);
    QApplication::processEvents();
    EXPECT_EQ(g.viewport()->height(), 77);
}

TEST(Grid, ScrollingByWholeCells)
{
    ProbeGrid g(20, 2, ssHorizontal);
    g.SetDefaultColWidth(19); // 20 pixels with the line
    g.Show(20 + 5 * 20 + 10, 80); // the fixed column and 5.5 columns
    EXPECT_EQ(g.VisibleColCount(), 5);
    g.SetLeftCol(100); // columns 15..19 fill the room: no further
    EXPECT_EQ(g.LeftCol(), 15);
    EXPECT_EQ(g.horizontalScrollBar()->value(), 14);
    g.horizontalScrollBar()->setValue(3);
    EXPECT_EQ(g.LeftCol(), 4);
    EXPECT_TRUE(g.CellRect(3, 1).isEmpty());
    EXPECT_EQ(g.CellRect(0, 1).x(), 0); // the fixed column stays
    EXPECT_EQ(g.CellRect(4, 1).x(), 20);
    EXPECT_EQ(g.MouseCoord(25, 15), (TGridCoord { 4, 1 }));
    // The current cell is brought into view in full.
    g.SetCol(16);
    EXPECT_EQ(g.LeftCol(), 12);
    g.SetCol(2);
    EXPECT_EQ(g.LeftCol(), 2);

    // Dragging past the edge runs on one column at a time.
    QWidget* vp = g.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, g.CellRect(5, 1).center());
    QTest::mouseMove(vp, QPoint(200, 15), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 5, 1, 7, 1 }));
    EXPECT_EQ(g.LeftCol(), 3);
    QTest::mouseMove(vp, QPoint(201, 15), 0);
    EXPECT_EQ(g.LeftCol(), 4);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(201, 15));

    // Growing wider than all columns scrolls back.
    g.resize(600, 80);
    QApplication::processEvents();
    EXPECT_EQ(g.LeftCol(), 1);
}

TEST(Grid, MouseSelectionWithVetoAndRanges)
{
    ProbeGrid g(6, 4);
    g.Show(200, 100);
    QSignalSpy clicks(&g, &TCustomGrid::OnClick);
    QSignalSpy doubles(&g, &TCustomGrid::OnDblClick);
    QWidget* vp = g.viewport();

    g.Click(3, 2);
    EXPECT_EQ(g.Selection(), (TGridRect { 3, 2, 3, 2 }));
    EXPECT_EQ(clicks.count(), 1);
    // A drag extends from the anchor, both ways; Shift extends too.
    QTest::mousePress(vp, Qt::LeftButton, {}, g.CellRect(2, 1).center());
    QTest::mouseMove(vp, g.CellRect(4, 3).center(), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 1, 4, 3 }));
    QTest::mouseMove(vp, g.CellRect(1, 1).center(), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, g.CellRect(1, 1).center());
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 2, 1 }));
    EXPECT_EQ(g.Col(), 1);
    g.Click(5, 2, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 1, 5, 2 }));

    // Without range selection a drag moves a single cell.
    g.SetOptions(g.Options() & ~goRangeSelect);
    QTest::mousePress(vp, Qt::LeftButton, {}, g.CellRect(2, 1).center());
    QTest::mouseMove(vp, g.CellRect(4, 3).center(), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, g.CellRect(4, 3).center());
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));

    // Fixed cells, the right button and refused cells leave it.
    g.Click(0, 2);
    g.Click(3, 0);
    QTest::mouseClick(vp, Qt::RightButton, {}, g.CellRect(2, 2).center());
    g.veto = [](int col, int) { return col != 1; };
    g.Click(1, 1);
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));
    EXPECT_FALSE(g.FocusCell(1, 2) || g.FocusCell(6, 2));
    QTest::mouseDClick(vp, Qt::LeftButton, {}, g.CellRect(5, 3).center());
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(g.Col(), 5);

    // Assigning the selection bypasses the veto and clamps.
    g.veto = [](int, int) { return false; };
    g.SetSelection({ -5, 2, 9, 1 });
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 5, 2 }));
    EXPECT_EQ(g.Col(), 5);
    EXPECT_EQ(g.Row(), 1);
}

TEST(Grid, KeysNavigateThroughTheHook)
{
    ProbeGrid g(5, 5);
    g.Show(200, 100);
    QTest::keyClick(&g, Qt::Key_Right);
    QTest::keyClick(&g, Qt::Key_Down);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 2, 3, 3 }));
    QTest::keyClick(&g, Qt::Key_End);
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));
    QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&g, Qt::Key_Up); // at the edge: stays
    QTest::keyClick(&g, Qt::Key_PageDown);
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 4, 1, 4 }));
    g.veto = [](int col, int) { return col != 2; };
    QTest::keyClick(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 1);

    std::vector<std::tuple<int, int, bool>> asked;
    g.navigate = [&](int c, int r, bool e) { asked.emplace_back(c, r, e); };
    QTest::keyClick(&g, Qt::Key_Left, Qt::ShiftModifier); // leads nowhere
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(asked, (std::vector<std::tuple<int, int, bool>> { { 2, 4, true } }));
    EXPECT_EQ(g.Col(), 1);

    QKeyEvent ctrlUp(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
    QApplication::sendEvent(&g, &ctrlUp);
    EXPECT_FALSE(ctrlUp.isAccepted()); // left to the parent
}

TEST(Grid, PaintingStatesLinesAndAFreshPainterPerCell)
{
    ProbeGrid g(4, 3);
    g.SetColor(0xFFFFFF);
    g.Show(150, 60);
    QApplication::processEvents();
    g.clearFocus();
    g.SetSelection({ 1, 1, 2, 2 });
    QImage img = g.Shot();
    EXPECT_EQ(StateOf(g, 2, 0), gdFixed);
    EXPECT_EQ(StateOf(g, 1, 1), gdSelected);
    EXPECT_EQ(StateOf(g, 2, 2), gdSelected);
    EXPECT_EQ(StateOf(g, 3, 1), 0u);
    for (Qt::BrushStyle s : g.brushes)
        EXPECT_EQ(s, g.brushes.front());
    // Cells, lines (black in the fixed area, silver elsewhere) and the grid's
    // colour beyond the last cell.
    EXPECT_EQ(img.pixelColor(25, 15), ProbeGrid::CellColor(1, 1));
    EXPECT_EQ(img.pixelColor(20, 5), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(41, 15), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(img.pixelColor(25, 21), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(img.pixelColor(120, 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(5, 50), QColor(255, 255, 255));

    g.activateWindow();
    g.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.hasFocus(); }));
    g.Shot();
    EXPECT_EQ(StateOf(g, 2, 2), gdSelected | gdFocused);
    EXPECT_EQ(StateOf(g, 1, 1), gdSelected);

    // A header row over scrollable columns draws no line in the room after
    // a column without goFixedVertLine, only the fixed colour: one band.
    g.SetFixedCols(0);
    g.SetFixedColor(0x00FF00);
    g.SetOptions(goVertLine);
    img = g.Shot();
    EXPECT_EQ(img.pixelColor(20, 5), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(20, 15), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(g.CellRect(1, 1), QRect(21, 10, 20, 10)); // no room below the header
}

TEST(Grid, CountsKeepTheCurrentCellInRange)
{
    TCustomGrid g;
    // Counts keep the current cell and the fixed counts in range.
    g.SetCol(4);
    g.SetColCount(3);
    EXPECT_EQ(g.Col(), 2);
    g.SetFixedRows(5); // would leave no scrollable row: ignored
    g.SetRowCount(1); // takes the fixed row with it
    EXPECT_EQ(g.FixedRows(), 0);
    g.SetColCount(0);
    EXPECT_EQ(g.Selection(), (TGridRect { 0, 0, 0, 0 }));
}
