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

// A grid that paints each cell in a colour of its own and records what the
// base hands to DrawCell.
class ProbeGrid : public TCustomGrid
{
public:
    using TCustomGrid::TCustomGrid;

    std::map<std::pair<int, int>, TGridDrawState> states;
    std::map<std::pair<int, int>, QRect> rects;
    std::vector<Qt::BrushStyle> brushesOnEntry;
    std::function<bool(int, int)> veto;
    std::function<void(int, int, bool)> navigate;
    bool leaveBrush = false;

    static QColor CellColor(int col, int row) { return QColor(10 + col * 20, 10 + row * 20, 200); }

protected:
    void DrawCell(QPainter& p, int col, int row, const QRect& rect, TGridDrawState state) override
    {
        states[{ col, row }] = state;
        rects[{ col, row }] = rect;
        brushesOnEntry.push_back(p.brush().style());
        p.fillRect(rect, CellColor(col, row));
        if (leaveBrush)
            p.setBrush(Qt::red);
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

QImage Shot(ProbeGrid& g)
{
    g.states.clear();
    g.brushesOnEntry.clear();
    return g.viewport()->grab().toImage();
}

void ShowAt(QWidget& w, int width, int height)
{
    w.resize(width, height);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

QPoint Centre(const QRect& r)
{
    return r.center();
}

} // namespace

TEST(Grid, CellGeometryFollowsSizesAndLineOptions)
{
    ProbeGrid g;
    g.SetScrollBars(ssNone);
    g.SetBorderStyle(bsNone);
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    g.SetColWidths(2, 30);
    g.SetRowHeights(0, 12);
    g.SetGridLineWidth(2);
    ShowAt(g, 200, 100);

    // Every cell is followed by a 2-pixel line.
    EXPECT_EQ(g.CellRect(0, 0), QRect(0, 0, 20, 12));
    EXPECT_EQ(g.CellRect(1, 1), QRect(22, 14, 20, 10));
    EXPECT_EQ(g.CellRect(3, 2), QRect(76, 26, 20, 10));
    // Without lines after scrollable cells there is no gap between them; the
    // fixed column keeps its line.
    g.SetOptions(goFixedVertLine | goFixedHorzLine);
    EXPECT_EQ(g.CellRect(1, 1), QRect(22, 14, 20, 10));
    EXPECT_EQ(g.CellRect(2, 1), QRect(42, 14, 30, 10));
    EXPECT_EQ(g.CellRect(3, 2), QRect(72, 24, 20, 10));
    // A new default size resets every column and new columns get it.
    g.SetDefaultColWidth(15);
    EXPECT_EQ(g.ColWidths(2), 15);
    g.SetColCount(6);
    EXPECT_EQ(g.ColWidths(5), 15);
    EXPECT_EQ(g.ColWidths(6), 0);
    EXPECT_TRUE(g.CellRect(6, 0).isEmpty());
    EXPECT_TRUE(g.CellRect(-1, 0).isEmpty());
}

TEST(Grid, HitTestingCountsLinesToTheCellBefore)
{
    ProbeGrid g;
    g.SetScrollBars(ssNone);
    g.SetBorderStyle(bsNone);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    ShowAt(g, 100, 50);

    EXPECT_EQ(g.MouseCoord(0, 0), (TGridCoord { 0, 0 }));
    EXPECT_EQ(g.MouseCoord(19, 9), (TGridCoord { 0, 0 }));
    EXPECT_EQ(g.MouseCoord(20, 10), (TGridCoord { 0, 0 })); // on the lines
    EXPECT_EQ(g.MouseCoord(21, 11), (TGridCoord { 1, 1 }));
    EXPECT_EQ(g.MouseCoord(62, 5), (TGridCoord { 2, 0 }));
    EXPECT_FALSE(g.MouseCoord(63, 5).Valid()); // beyond the last column
    EXPECT_FALSE(g.MouseCoord(5, 22).Valid());
    EXPECT_FALSE(g.MouseCoord(-1, 5).Valid());
    int col = 0;
    int row = 0;
    g.MouseToCell(30, 15, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
}

TEST(Grid, ClientAreaMatchesTheViewportWithAndWithoutBars)
{
    ProbeGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    ShowAt(g, 300, 200);
    EXPECT_FALSE(g.horizontalScrollBar()->isVisible());
    EXPECT_EQ(g.ClientWidth(), g.viewport()->width());
    EXPECT_EQ(g.ClientHeight(), g.viewport()->height());

    g.SetColCount(30);
    QApplication::processEvents();
    EXPECT_TRUE(g.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(g.verticalScrollBar()->isVisible());
    EXPECT_EQ(g.ClientWidth(), g.viewport()->width());
    EXPECT_EQ(g.ClientHeight(), g.viewport()->height());

    g.SetRowCount(30);
    QApplication::processEvents();
    EXPECT_TRUE(g.verticalScrollBar()->isVisible());
    EXPECT_EQ(g.ClientWidth(), g.viewport()->width());
    EXPECT_EQ(g.ClientHeight(), g.viewport()->height());

    g.SetClientHeight(77);
    QApplication::processEvents();
    EXPECT_EQ(g.ClientHeight(), 77);
    EXPECT_EQ(g.viewport()->height(), 77);
}

TEST(Grid, ScrollingByWholeCells)
{
    ProbeGrid g;
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssHorizontal);
    g.SetRowCount(2);
    g.SetColCount(20);
    g.SetDefaultColWidth(19); // 20 pixels a column with its line
    ShowAt(g, 20 + 5 * 20 + 10, 80); // the fixed column, five columns and a half

    EXPECT_EQ(g.LeftCol(), 1);
    EXPECT_EQ(g.VisibleColCount(), 5);
    // Columns 15..19 fill the room at the right edge: LeftCol stops at 15.
    g.SetLeftCol(100);
    EXPECT_EQ(g.LeftCol(), 15);
    EXPECT_EQ(g.horizontalScrollBar()->value(), 14);
    g.SetLeftCol(4);
    EXPECT_EQ(g.LeftCol(), 4);
    EXPECT_TRUE(g.CellRect(3, 1).isEmpty());
    EXPECT_EQ(g.CellRect(0, 1).x(), 0); // the fixed column stays
    EXPECT_EQ(g.CellRect(4, 1).x(), 20);
    EXPECT_EQ(g.MouseCoord(25, 30), (TGridCoord { 4, 1 }));
    // The bar moves the grid.
    g.horizontalScrollBar()->setValue(9);
    EXPECT_EQ(g.LeftCol(), 10);
    EXPECT_EQ(g.CellRect(10, 1).x(), 20);
    // Moving the current cell brings it into view, in full.
    g.SetCol(16);
    EXPECT_EQ(g.LeftCol(), 12);
    g.SetCol(2);
    EXPECT_EQ(g.LeftCol(), 2);
    g.SetLeftCol(0);
    EXPECT_EQ(g.LeftCol(), 1);
    // Growing wider than all columns scrolls back.
    g.SetLeftCol(15);
    g.resize(600, 80);
    QApplication::processEvents();
    EXPECT_EQ(g.LeftCol(), 1);
}

TEST(Grid, MouseSelectsThroughTheVetoAndDragsRanges)
{
    ProbeGrid g;
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssNone);
    g.SetColCount(6);
    g.SetRowCount(4);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    ShowAt(g, 200, 100);
    QWidget* vp = g.viewport();
    QSignalSpy clicks(&g, &TCustomGrid::OnClick);
    QSignalSpy doubles(&g, &TCustomGrid::OnDblClick);

    QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(g.CellRect(3, 2)));
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Selection(), (TGridRect { 3, 2, 3, 2 }));
    EXPECT_EQ(clicks.count(), 1);

    // A drag extends from the anchor, both ways.
    QTest::mousePress(vp, Qt::LeftButton, {}, Centre(g.CellRect(2, 1)));
    QTest::mouseMove(vp, Centre(g.CellRect(4, 3)), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 1, 4, 3 }));
    QTest::mouseMove(vp, Centre(g.CellRect(1, 1)), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 2, 1 }));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, Centre(g.CellRect(1, 1)));
    EXPECT_EQ(g.Col(), 1);

    // Shift extends from the anchor.
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, Centre(g.CellRect(5, 2)));
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 1, 5, 2 }));

    // Without range selection a drag moves the single selected cell.
    g.SetOptions(g.Options() & ~goRangeSelect);
    QTest::mousePress(vp, Qt::LeftButton, {}, Centre(g.CellRect(2, 1)));
    QTest::mouseMove(vp, Centre(g.CellRect(4, 3)), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, Centre(g.CellRect(4, 3)));
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));

    // Fixed cells, other buttons and refused cells leave the selection.
    QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(g.CellRect(0, 2)));
    QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(g.CellRect(3, 0)));
    QTest::mouseClick(vp, Qt::RightButton, {}, Centre(g.CellRect(2, 2)));
    g.veto = [](int col, int) { return col != 1; };
    QTest::mouseClick(vp, Qt::LeftButton, {}, Centre(g.CellRect(1, 1)));
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));
    EXPECT_FALSE(g.FocusCell(1, 2));
    EXPECT_TRUE(g.FocusCell(2, 2));
    EXPECT_FALSE(g.FocusCell(0, 2)); // fixed
    EXPECT_FALSE(g.FocusCell(6, 2)); // out of range

    QTest::mouseDClick(vp, Qt::LeftButton, {}, Centre(g.CellRect(5, 3)));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(g.Col(), 5);

    // Assigning the selection bypasses the veto and clamps.
    g.veto = [](int, int) { return false; };
    g.SetSelection({ -5, 2, 9, 1 });
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 5, 2 }));
    EXPECT_EQ(g.Col(), 5);
    EXPECT_EQ(g.Row(), 1);
}

TEST(Grid, DraggingPastTheEdgeScrollsOneColumnAtATime)
{
    ProbeGrid g;
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssHorizontal);
    g.SetFixedCols(0);
    g.SetRowCount(2);
    g.SetColCount(20);
    g.SetDefaultColWidth(19);
    ShowAt(g, 100, 80);
    QWidget* vp = g.viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, Centre(g.CellRect(3, 1)));
    QTest::mouseMove(vp, QPoint(150, 30), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 3, 1, 5, 1 }));
    EXPECT_EQ(g.LeftCol(), 1);
    QTest::mouseMove(vp, QPoint(151, 30), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 3, 1, 6, 1 }));
    EXPECT_EQ(g.LeftCol(), 2);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(151, 30));
}

TEST(Grid, KeysNavigateThroughTheHook)
{
    QWidget parent;
    ProbeGrid g(&parent);
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssNone);
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    g.resize(200, 100);
    parent.resize(200, 100);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    g.setFocus();

    QTest::keyClick(&g, Qt::Key_Right);
    QTest::keyClick(&g, Qt::Key_Down);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 2);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect { 2, 2, 3, 3 }));
    QTest::keyClick(&g, Qt::Key_End);
    EXPECT_EQ(g.Selection(), (TGridRect { 4, 3, 4, 3 }));
    QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(g.Selection(), (TGridRect { 1, 1, 1, 1 }));
    QTest::keyClick(&g, Qt::Key_Up); // at the edge: stays
    QTest::keyClick(&g, Qt::Key_PageDown);
    EXPECT_EQ(g.Row(), 4);

    // A refused cell stops the key.
    g.veto = [](int col, int) { return col != 2; };
    QTest::keyClick(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 1);
    g.veto = nullptr;

    // A subclass can take the navigation over.
    std::vector<std::tuple<int, int, bool>> asked;
    g.navigate = [&](int c, int r, bool e) { asked.emplace_back(c, r, e); };
    QTest::keyClick(&g, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(asked.size(), 1u); // Left at the first column leads nowhere
    EXPECT_EQ(asked[0], std::make_tuple(2, 4, true));
    EXPECT_EQ(g.Col(), 1);

    // Ctrl with an arrow goes to the parent.
    QKeyEvent ctrlUp(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
    QApplication::sendEvent(&g, &ctrlUp);
    EXPECT_FALSE(ctrlUp.isAccepted());
}

TEST(Grid, DrawStatesLinesAndFreshPainterPerCell)
{
    ProbeGrid g;
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssNone);
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    g.SetColor(0xFFFFFF);
    g.leaveBrush = true;
    ShowAt(g, 150, 60);
    QApplication::processEvents();
    g.clearFocus();
    g.SetSelection({ 1, 1, 2, 2 });

    QImage img = Shot(g);
    EXPECT_EQ(g.states[std::make_pair(0, 0)], gdFixed);
    EXPECT_EQ(g.states[std::make_pair(2, 0)], gdFixed);
    EXPECT_EQ(g.states[std::make_pair(1, 1)], gdSelected);
    EXPECT_EQ(g.states[std::make_pair(2, 2)], gdSelected); // no focus yet
    EXPECT_EQ(g.states[std::make_pair(3, 1)], 0u);
    // Whatever a cell leaves on the painter, the next one starts afresh.
    for (Qt::BrushStyle s : g.brushesOnEntry)
        EXPECT_EQ(s, g.brushesOnEntry.front());

    // Cells, lines (black after fixed cells, silver after the others) and
    // the area beyond the last cell in the grid's colour.
    EXPECT_EQ(img.pixelColor(25, 15), ProbeGrid::CellColor(1, 1));
    EXPECT_EQ(img.pixelColor(20, 5), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 10), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(41, 15), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(img.pixelColor(25, 21), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(img.pixelColor(120, 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(5, 50), QColor(255, 255, 255));

    // The focused state follows the keyboard focus.
    g.activateWindow();
    g.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.hasFocus(); }));
    Shot(g);
    EXPECT_EQ(g.states[std::make_pair(2, 2)], gdSelected | gdFocused);
    EXPECT_EQ(g.states[std::make_pair(1, 1)], gdSelected);
}

TEST(Grid, DefaultDrawingHighlightsTheSelection)
{
    TCustomGrid g;
    g.setFocusPolicy(Qt::NoFocus);
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssNone);
    g.SetColor(0xFFFFFF);
    g.SetFixedColor(0x00FF00);
    ShowAt(g, 400, 200);
    g.SetSelection({ 1, 1, 2, 1 });
    const QImage img = g.viewport()->grab().toImage();
    const QColor highlight = colors::ToQColor(colors::clHighlight, g.palette());
    EXPECT_EQ(img.pixelColor(g.CellRect(1, 1).center()), highlight);
    EXPECT_EQ(img.pixelColor(g.CellRect(2, 1).center()), highlight);
    EXPECT_EQ(img.pixelColor(g.CellRect(3, 1).center()), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(g.CellRect(0, 1).center()), QColor(0, 255, 0));
}

TEST(Grid, CountsKeepTheCurrentCellInRange)
{
    TCustomGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_EQ(g.DefaultRowHeight(), 24);
    EXPECT_EQ(g.Col(), 1);

    g.SetCol(4);
    g.SetRow(4);
    g.SetColCount(3);
    EXPECT_EQ(g.Col(), 2);
    g.SetFixedRows(5); // would leave no scrollable row
    EXPECT_EQ(g.FixedRows(), 1);
    g.SetRowCount(1); // takes the fixed row with it
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Row(), 0);
    g.SetColCount(0);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.FixedCols(), 0);
    EXPECT_EQ(g.Selection(), (TGridRect { 0, 0, 0, 0 }));
    g.SetDefaultColWidth(-4);
    EXPECT_EQ(g.ColWidths(0), 0);
}

TEST(Grid, FixedRowsDrawLinesByTheFixedOptions)
{
    // A header row over scrollable columns: the room after each column is
    // there (goVertLine) but the header shows no line in it without
    // goFixedVertLine, only the fixed colour, so the header is one band.
    ProbeGrid g;
    g.SetBorderStyle(bsNone);
    g.SetScrollBars(ssNone);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetDefaultColWidth(20);
    g.SetDefaultRowHeight(10);
    g.SetFixedColor(0x00FF00);
    g.SetColor(0xFFFFFF);
    g.SetOptions(goVertLine);
    ShowAt(g, 100, 40);
    const QImage img = Shot(g);
    EXPECT_EQ(g.CellRect(1, 0), QRect(21, 0, 20, 10));
    EXPECT_EQ(g.CellRect(1, 1), QRect(21, 10, 20, 10)); // no room below the header
    EXPECT_EQ(img.pixelColor(20, 5), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(20, 15), QColor(0xC0, 0xC0, 0xC0));
    g.SetOptions(goVertLine | goFixedVertLine);
    EXPECT_EQ(Shot(g).pixelColor(20, 5), QColor(0, 0, 0));
}
