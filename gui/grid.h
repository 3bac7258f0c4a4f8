#pragma once

// A cell grid in the manner of the Windows class library's draw grid, for the
// controls that paint their cells themselves.
//
// - Fixed (header) rows and columns stay in place; the others scroll by whole
//   cells: LeftCol and TopRow are the first scrollable column and row shown.
// - Every column has a width and every row a height; setting the default size
//   resets all of them to it, new columns and rows get it.
// - Room for a grid line of GridLineWidth pixels follows a column when its
//   option is set (goFixedVertLine for fixed columns, goVertLine for the
//   others), likewise below a row; without the option there is no room. In
//   that room the line is drawn by the option of the area the cell lies in
//   (a cell in a fixed row or column is fixed: goFixed*Line, black lines);
//   room without a line there shows the area's colour.
// - The current cell (Col, Row) and the anchor span the selection. The mouse
//   and the keys move the current cell through SelectCell, which may refuse;
//   with goRangeSelect a drag or Shift extends the range from the anchor.
//   Selection assignments bypass SelectCell.
// - Painting is cell by cell through DrawCell, with the painter clipped to the
//   cell and reset for every cell, so that no cell depends on what an earlier
//   one left behind. The area beyond the last column and row shows Color.
//
// All coordinates are client coordinates: those of the viewport, inside the
// border and the scroll bars. Mouse handlers of a subclass receive them too
// (the events arrive from the viewport). A subclass's resizeEvent sees the
// client size and should call the base handler, which sets the scroll range.

#include "gui/colors.h"

#include <QAbstractScrollArea>

#include <vector>

// A cell: X is the column, Y the row; -1 for no cell.
struct TGridCoord
{
    int X = -1;
    int Y = -1;
    bool Valid() const { return X >= 0 && Y >= 0; }
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells, both corners included.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Contains(int col, int row) const
    {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0, // lines right of fixed cells
    goFixedHorzLine = 1u << 1, // lines below fixed cells
    goVertLine = 1u << 2, // lines right of scrollable cells
    goHorzLine = 1u << 3, // lines below scrollable cells
    goRangeSelect = 1u << 4, // the selection may span several cells
    goDrawFocusSelected = 1u << 5, // DrawCell's default paints the focused cell selected
    goThumbTracking = 1u << 6, // the grid follows the scroll bar while it is dragged
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned {
    gdSelected = 1u << 0, // inside the selection
    gdFocused = 1u << 1, // the current cell, and the grid has the keyboard focus
    gdFixed = 1u << 2, // a fixed row or column
};
using TGridDrawState = unsigned;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };

class TCustomGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // 5 x 5 cells with one fixed row and column, 64 x 24 pixels each, all
    // lines, range selection, both scroll bars, a single border.
    explicit TCustomGrid(QWidget* parent = nullptr);

    // Counts. ColCount and RowCount are at least 1 and above the fixed counts
    // (lowering a count below them lowers the fixed count); a fixed count that
    // would leave no scrollable column or row is ignored.
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    // Sizes in pixels (negative values count as 0).
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Background of the cells and of the area beyond them; fixed cells.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);

    // The current cell. The setters go through FocusCell.
    int Col() const { return current_.X; }
    void SetCol(int col);
    int Row() const { return current_.Y; }
    void SetRow(int row);
    // Makes (col, row) the current cell when it is a scrollable cell and
    // SelectCell agrees; the anchor follows unless extending a range
    // selection. Scrolls the cell into view. False when refused.
    bool FocusCell(int col, int row, bool moveAnchor = true);
    // Anchor to current cell, normalised (Left <= Right, Top <= Bottom).
    TGridRect Selection() const;
    // Sets the anchor to the top left and the current cell to the bottom
    // right corner, clamped to the scrollable cells; no SelectCell, no scroll.
    void SetSelection(const TGridRect& rect);

    // Scrolling, clamped so that the last column and row stay at the right
    // and bottom edges at most.
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    // Scrollable columns and rows shown in full from LeftCol and TopRow.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The client area (inside the border and the scroll bars), computed from
    // the widget's size, so it is right even before a pending resize arrives.
    int ClientWidth() const;
    int ClientHeight() const;
    // Resizes the widget so that the client area gets this height.
    void SetClientHeight(int height);

    // The cell's rectangle without its grid lines, in client coordinates;
    // an empty rectangle for a cell scrolled out of view or out of range.
    QRect CellRect(int col, int row) const;
    // The cell under a client point; a point on a grid line belongs to the
    // cell before the line. No cell (-1, -1) outside the cells.
    TGridCoord MouseCoord(int x, int y) const;
    void MouseToCell(int x, int y, int& col, int& row) const;

    void InvalidateCell(int col, int row);
    void InvalidateGrid();

signals:
    // A left click (button released inside the grid) and a double click.
    void OnClick();
    void OnDblClick();

protected:
    // Paints one cell. The default fills it with the fixed colour, the
    // highlight (selected, unless it is the focused cell without
    // goDrawFocusSelected) or Color, and frames the focused cell.
    virtual void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                          TGridDrawState state);
    // The style's focus frame around rect, on the background bg.
    void DrawFocusFrame(QPainter& painter, const QRect& rect, const QColor& bg) const;
    // Asked before the current cell moves to (col, row) by the mouse, the
    // keys or FocusCell; false keeps it where it is.
    virtual bool SelectCell(int col, int row);
    // A navigation key leads to (col, row), a scrollable cell other than the
    // current one; extend is set for Shift with goRangeSelect. The default
    // moves the current cell there (FocusCell).
    virtual void NavigateTo(int col, int row, bool extend);

    // Keys: the arrows, Home and End (first and last column; with Ctrl first
    // and last cell), PageUp and PageDown (a page of rows). Ctrl with an
    // arrow and all other keys are left to the parent (ignored).
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Layout
    {
        bool hBar = false;
        bool vBar = false;
        int clientWidth = 0;
        int clientHeight = 0;
    };
    Layout ComputeLayout(QSize size) const;
    int ColLine(int col) const;
    int RowLine(int row) const;
    int FixedWidth() const;
    int FixedHeight() const;
    int MaxLeftCol(int clientWidth) const;
    int MaxTopRow(int clientHeight) const;
    int FullyVisibleCols(int clientWidth) const;
    int FullyVisibleRows(int clientHeight) const;
    // Client x of a column as if every column were laid out from LeftCol
    // (so also for columns scrolled out to the left).
    int ColX(int col) const;
    int RowY(int row) const;
    void ClampInView(int col, int row);
    void Normalise();
    void UpdateScrollBars();
    void Changed();
    TGridCoord DragCoord(QPoint pos) const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int gridLineWidth_ = 1;
    TGridOptions options_ =
        goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle scrollBars_ = ssBoth;
    TBorderStyle borderStyle_ = bsSingle;
    TColor color_ = colors::clWindow;
    TColor fixedColor_ = colors::clBtnFace;
    TGridCoord current_ { 1, 1 };
    TGridCoord anchor_ { 1, 1 };
    int leftCol_ = 1;
    int topRow_ = 1;
    bool selecting_ = false;
    bool syncingBars_ = false;
    bool rescan_ = false;
};
