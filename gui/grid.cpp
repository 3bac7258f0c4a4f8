#include "gui/grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

TCustomGrid::TCustomGrid(QWidget* parent)
    : QAbstractScrollArea(parent), colWidths_(colCount_, defaultColWidth_),
      rowHeights_(rowCount_, defaultRowHeight_)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Every pixel of the viewport is painted by paintEvent.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

// --- counts and sizes -------------------------------------------------------

void TCustomGrid::SetColCount(int count)
{
    count = std::max(count, 1);
    if (count == colCount_)
        return;
    colCount_ = count;
    colWidths_.resize(count, defaultColWidth_);
    if (fixedCols_ >= count)
        fixedCols_ = count - 1;
    Normalise();
    Changed();
}

void TCustomGrid::SetRowCount(int count)
{
    count = std::max(count, 1);
    if (count == rowCount_)
        return;
    rowCount_ = count;
    rowHeights_.resize(count, defaultRowHeight_);
    if (fixedRows_ >= count)
        fixedRows_ = count - 1;
    Normalise();
    Changed();
}

void TCustomGrid::SetFixedCols(int count)
{
    if (count < 0 || count >= colCount_ || count == fixedCols_)
        return;
    fixedCols_ = count;
    Normalise();
    Changed();
}

void TCustomGrid::SetFixedRows(int count)
{
    if (count < 0 || count >= rowCount_ || count == fixedRows_)
        return;
    fixedRows_ = count;
    Normalise();
    Changed();
}

void TCustomGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = std::max(width, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    Changed();
}

void TCustomGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(height, 0);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    Changed();
}

int TCustomGrid::ColWidths(int col) const
{
    return col >= 0 && col < colCount_ ? colWidths_[col] : 0;
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    colWidths_[col] = std::max(width, 0);
    Changed();
}

int TCustomGrid::RowHeights(int row) const
{
    return row >= 0 && row < rowCount_ ? rowHeights_[row] : 0;
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        return;
    rowHeights_[row] = std::max(height, 0);
    Changed();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    width = std::max(width, 0);
    if (width == gridLineWidth_)
        return;
    gridLineWidth_ = width;
    Changed();
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    if (!(options_ & goRangeSelect))
        anchor_ = current_;
    horizontalScrollBar()->setTracking(options_ & goThumbTracking);
    verticalScrollBar()->setTracking(options_ & goThumbTracking);
    Changed();
}

void TCustomGrid::SetScrollBars(TScrollStyle style)
{
    if (style == scrollBars_)
        return;
    scrollBars_ = style;
    Changed();
}

void TCustomGrid::SetBorderStyle(TBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    setFrameStyle(style == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
    Changed();
}

void TCustomGrid::SetColor(TColor color)
{
    color_ = color;
    viewport()->update();
}

void TCustomGrid::SetFixedColor(TColor color)
{
    fixedColor_ = color;
    viewport()->update();
}

// --- current cell and selection ---------------------------------------------

void TCustomGrid::SetCol(int col)
{
    FocusCell(col, current_.Y);
}

void TCustomGrid::SetRow(int row)
{
    FocusCell(current_.X, row);
}

bool TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_)
        return false;
    if (!SelectCell(col, row))
        return false;
    current_ = { col, row };
    if (moveAnchor || !(options_ & goRangeSelect))
        anchor_ = current_;
    ClampInView(col, row);
    viewport()->update();
    return true;
}

TGridRect TCustomGrid::Selection() const
{
    return { std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y),
             std::max(anchor_.X, current_.X), std::max(anchor_.Y, current_.Y) };
}

void TCustomGrid::SetSelection(const TGridRect& rect)
{
    auto col = [this](int c) { return std::clamp(c, fixedCols_, colCount_ - 1); };
    auto row = [this](int r) { return std::clamp(r, fixedRows_, rowCount_ - 1); };
    anchor_ = { col(rect.Left), row(rect.Top) };
    current_ = { col(rect.Right), row(rect.Bottom) };
    viewport()->update();
}

void TCustomGrid::Normalise()
{
    auto col = [this](int c) { return std::clamp(c, fixedCols_, colCount_ - 1); };
    auto row = [this](int r) { return std::clamp(r, fixedRows_, rowCount_ - 1); };
    current_ = { col(current_.X), row(current_.Y) };
    anchor_ = { col(anchor_.X), row(anchor_.Y) };
    leftCol_ = col(leftCol_);
    topRow_ = row(topRow_);
}

bool TCustomGrid::SelectCell(int, int)
{
    return true;
}

void TCustomGrid::NavigateTo(int col, int row, bool extend)
{
    FocusCell(col, row, !extend);
}

// --- geometry ---------------------------------------------------------------

int TCustomGrid::ColLine(int col) const
{
    const TGridOptions line = col < fixedCols_ ? goFixedVertLine : goVertLine;
    return options_ & line ? gridLineWidth_ : 0;
}

int TCustomGrid::RowLine(int row) const
{
    const TGridOptions line = row < fixedRows_ ? goFixedHorzLine : goHorzLine;
    return options_ & line ? gridLineWidth_ : 0;
}

int TCustomGrid::FixedWidth() const
{
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c)
        w += colWidths_[c] + ColLine(c);
    return w;
}

int TCustomGrid::FixedHeight() const
{
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r)
        h += rowHeights_[r] + RowLine(r);
    return h;
}

int TCustomGrid::MaxLeftCol(int clientWidth) const
{
    const int room = clientWidth - FixedWidth();
    int col = colCount_ - 1;
    int used = colWidths_[col] + ColLine(col);
    while (col > fixedCols_ && used + colWidths_[col - 1] + ColLine(col - 1) <= room) {
        --col;
        used += colWidths_[col] + ColLine(col);
    }
    return std::max(col, fixedCols_);
}

int TCustomGrid::MaxTopRow(int clientHeight) const
{
    const int room = clientHeight - FixedHeight();
    int row = rowCount_ - 1;
    int used = rowHeights_[row] + RowLine(row);
    while (row > fixedRows_ && used + rowHeights_[row - 1] + RowLine(row - 1) <= room) {
        --row;
        used += rowHeights_[row] + RowLine(row);
    }
    return std::max(row, fixedRows_);
}

int TCustomGrid::FullyVisibleCols(int clientWidth) const
{
    int n = 0;
    int x = FixedWidth();
    for (int c = leftCol_; c < colCount_ && x + colWidths_[c] <= clientWidth; ++c) {
        ++n;
        x += colWidths_[c] + ColLine(c);
    }
    return n;
}

int TCustomGrid::FullyVisibleRows(int clientHeight) const
{
    int n = 0;
    int y = FixedHeight();
    for (int r = topRow_; r < rowCount_ && y + rowHeights_[r] <= clientHeight; ++r) {
        ++n;
        y += rowHeights_[r] + RowLine(r);
    }
    return n;
}

int TCustomGrid::VisibleColCount() const
{
    return FullyVisibleCols(ClientWidth());
}

int TCustomGrid::VisibleRowCount() const
{
    return FullyVisibleRows(ClientHeight());
}

int TCustomGrid::ColX(int col) const
{
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += colWidths_[c] + ColLine(c);
        return x;
    }
    x = FixedWidth();
    for (int c = leftCol_; c < col; ++c)
        x += colWidths_[c] + ColLine(c);
    for (int c = col; c < leftCol_; ++c)
        x -= colWidths_[c] + ColLine(c);
    return x;
}

int TCustomGrid::RowY(int row) const
{
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r)
            y += rowHeights_[r] + RowLine(r);
        return y;
    }
    y = FixedHeight();
    for (int r = topRow_; r < row; ++r)
        y += rowHeights_[r] + RowLine(r);
    for (int r = row; r < topRow_; ++r)
        y -= rowHeights_[r] + RowLine(r);
    return y;
}

TCustomGrid::Layout TCustomGrid::ComputeLayout(QSize size) const
{
    const int frame = frameWidth();
    const bool outside =
        style()->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, this);
    const int spacing =
        outside ? style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this) : 0;
    const int barHeight = horizontalScrollBar()->sizeHint().height() + spacing;
    const int barWidth = verticalScrollBar()->sizeHint().width() + spacing;
    const bool canH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool canV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;

    // A bar that appears only takes room, so the answer settles within two
    // rounds (one per bar).
    Layout l;
    for (int round = 0; round < 3; ++round) {
        l.clientWidth = std::max(0, size.width() - 2 * frame - (l.vBar ? barWidth : 0));
        l.clientHeight = std::max(0, size.height() - 2 * frame - (l.hBar ? barHeight : 0));
        const bool h = canH && MaxLeftCol(l.clientWidth) > fixedCols_;
        const bool v = canV && MaxTopRow(l.clientHeight) > fixedRows_;
        if (h == l.hBar && v == l.vBar)
            break;
        l.hBar = h;
        l.vBar = v;
    }
    return l;
}

int TCustomGrid::ClientWidth() const
{
    return ComputeLayout(size()).clientWidth;
}

int TCustomGrid::ClientHeight() const
{
    return ComputeLayout(size()).clientHeight;
}

void TCustomGrid::SetClientHeight(int height)
{
    height = std::max(height, 0);
    int outer = height + 2 * frameWidth();
    for (int round = 0; round < 3; ++round) {
        const int got = ComputeLayout(QSize(width(), outer)).clientHeight;
        if (got == height)
            break;
        outer += height - got;
    }
    resize(width(), outer);
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return {};
    if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_))
        return {};
    const int x = ColX(col);
    const int y = RowY(row);
    if (x >= ClientWidth() || y >= ClientHeight())
        return {};
    return QRect(x, y, colWidths_[col], rowHeights_[row]);
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    const Layout l = ComputeLayout(size());
    if (x < 0 || y < 0 || x >= l.clientWidth || y >= l.clientHeight)
        return {};
    // A point on a grid line belongs to the cell before the line.
    auto hit = [](int at, int fixed, int first, int count, auto extent) {
        int pos = 0;
        for (int i = 0; i < fixed; ++i) {
            pos += extent(i);
            if (at < pos)
                return i;
        }
        for (int i = first; i < count; ++i) {
            pos += extent(i);
            if (at < pos)
                return i;
        }
        return -1;
    };
    TGridCoord cell;
    cell.X = hit(x, fixedCols_, leftCol_, colCount_,
                 [this](int c) { return colWidths_[c] + ColLine(c); });
    cell.Y = hit(y, fixedRows_, topRow_, rowCount_,
                 [this](int r) { return rowHeights_[r] + RowLine(r); });
    if (!cell.Valid())
        return {};
    return cell;
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const TGridCoord cell = MouseCoord(x, y);
    col = cell.X;
    row = cell.Y;
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (!r.isEmpty())
        viewport()->update(r);
}

void TCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

// --- scrolling --------------------------------------------------------------

void TCustomGrid::SetLeftCol(int col)
{
    col = std::clamp(col, fixedCols_, MaxLeftCol(ClientWidth()));
    if (col == leftCol_)
        return;
    leftCol_ = col;
    Changed();
}

void TCustomGrid::SetTopRow(int row)
{
    row = std::clamp(row, fixedRows_, MaxTopRow(ClientHeight()));
    if (row == topRow_)
        return;
    topRow_ = row;
    Changed();
}

void TCustomGrid::ClampInView(int col, int row)
{
    const Layout l = ComputeLayout(size());
    if (col >= fixedCols_) {
        int left = std::min(leftCol_, col);
        // Scroll right until the column's right edge is inside.
        auto rightEdge = [&](int from) {
            int x = FixedWidth();
            for (int c = from; c < col; ++c)
                x += colWidths_[c] + ColLine(c);
            return x + colWidths_[col];
        };
        while (left < col && rightEdge(left) > l.clientWidth)
            ++left;
        leftCol_ = std::clamp(left, fixedCols_, MaxLeftCol(l.clientWidth));
    }
    if (row >= fixedRows_) {
        int top = std::min(topRow_, row);
        auto bottomEdge = [&](int from) {
            int y = FixedHeight();
            for (int r = from; r < row; ++r)
                y += rowHeights_[r] + RowLine(r);
            return y + rowHeights_[row];
        };
        while (top < row && bottomEdge(top) > l.clientHeight)
            ++top;
        topRow_ = std::clamp(top, fixedRows_, MaxTopRow(l.clientHeight));
    }
    UpdateScrollBars();
}

void TCustomGrid::Changed()
{
    UpdateScrollBars();
    viewport()->update();
}

void TCustomGrid::UpdateScrollBars()
{
    // Showing or hiding a bar resizes the viewport at once, and a subclass's
    // resize handling may change sizes again: such nested calls ask for one
    // more round instead of running inside this one.
    if (syncingBars_) {
        rescan_ = true;
        return;
    }
    syncingBars_ = true;
    for (int round = 0; round < 4; ++round) {
        rescan_ = false;
        const Layout l = ComputeLayout(size());
        const int maxLeft = MaxLeftCol(l.clientWidth);
        const int maxTop = MaxTopRow(l.clientHeight);
        leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);
        topRow_ = std::clamp(topRow_, fixedRows_, maxTop);

        QScrollBar* h = horizontalScrollBar();
        QScrollBar* v = verticalScrollBar();
        h->setRange(0, maxLeft - fixedCols_);
        h->setPageStep(std::max(1, FullyVisibleCols(l.clientWidth)));
        h->setValue(leftCol_ - fixedCols_);
        v->setRange(0, maxTop - fixedRows_);
        v->setPageStep(std::max(1, FullyVisibleRows(l.clientHeight)));
        v->setValue(topRow_ - fixedRows_);
        const auto hPolicy = l.hBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
        const auto vPolicy = l.vBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
        if (horizontalScrollBarPolicy() != hPolicy)
            setHorizontalScrollBarPolicy(hPolicy);
        if (verticalScrollBarPolicy() != vPolicy)
            setVerticalScrollBarPolicy(vPolicy);
        if (!rescan_)
            break;
    }
    syncingBars_ = false;
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (syncingBars_)
        return;
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    viewport()->update();
}

void TCustomGrid::resizeEvent(QResizeEvent*)
{
    UpdateScrollBars();
    viewport()->update();
}

// --- painting ---------------------------------------------------------------

void TCustomGrid::DrawCell(QPainter& painter, int, int, const QRect& rect, TGridDrawState state)
{
    TColor fill = color_;
    if (state & gdFixed)
        fill = fixedColor_;
    else if ((state & gdSelected) && (!(state & gdFocused) || (options_ & goDrawFocusSelected)))
        fill = colors::clHighlight;
    const QColor bg = colors::ToQColor(fill, palette());
    painter.fillRect(rect, bg);
    if (state & gdFocused)
        DrawFocusFrame(painter, rect, bg);
}

void TCustomGrid::DrawFocusFrame(QPainter& painter, const QRect& rect, const QColor& bg) const
{
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect;
    option.backgroundColor = bg;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void TCustomGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const Layout l = ComputeLayout(size());
    const QRect dirty = event->rect();
    const TGridRect sel = Selection();
    const bool focused = hasFocus();
    const QColor fixedLine = colors::ToQColor(colors::clBlack);
    const QColor bg = colors::ToQColor(color_, palette());
    const QColor fixedBg = colors::ToQColor(fixedColor_, palette());
    const QColor line = colors::ToQColor(
        colors::ToRgb(color_, palette()) == colors::clSilver ? colors::clGray : colors::clSilver);

    auto visible = [](int count, int fixed, int first, auto start, int limit) {
        std::vector<int> out;
        for (int i = 0; i < fixed && start(i) < limit; ++i)
            out.push_back(i);
        for (int i = first; i < count && start(i) < limit; ++i)
            out.push_back(i);
        return out;
    };
    const std::vector<int> cols = visible(
        colCount_, fixedCols_, leftCol_, [this](int c) { return ColX(c); }, l.clientWidth);
    const std::vector<int> rows = visible(
        rowCount_, fixedRows_, topRow_, [this](int r) { return RowY(r); }, l.clientHeight);

    int right = 0;
    int bottom = 0;
    for (int r : rows) {
        for (int c : cols) {
            const QRect cell(ColX(c), RowY(r), colWidths_[c], rowHeights_[r]);
            const int lw = ColLine(c);
            const int lh = RowLine(r);
            const QRect whole(cell.x(), cell.y(), cell.width() + lw, cell.height() + lh);
            right = std::max(right, whole.x() + whole.width());
            bottom = std::max(bottom, whole.y() + whole.height());
            if (!whole.intersects(dirty))
                continue;
            const bool fixed = c < fixedCols_ || r < fixedRows_;
            if (!cell.isEmpty()) {
                TGridDrawState state = 0;
                if (fixed)
                    state |= gdFixed;
                else if (sel.Contains(c, r))
                    state |= gdSelected;
                if (!fixed && focused && c == current_.X && r == current_.Y)
                    state |= gdFocused;
                painter.save();
                painter.setClipRect(cell);
                painter.setFont(font());
                DrawCell(painter, c, r, cell, state);
                painter.restore();
            }
            // The room after a cell is sized by its column's and row's kind,
            // but drawn by the kind of area the cell lies in: a fixed row over
            // scrollable columns shows lines only with the fixed-line options,
            // and its room stays in the fixed colour otherwise.
            const bool vert = options_ & (fixed ? goFixedVertLine : goVertLine);
            const bool horz = options_ & (fixed ? goFixedHorzLine : goHorzLine);
            const QColor& lc = fixed ? fixedLine : line;
            const QColor& gap = fixed ? fixedBg : bg;
            if (lw > 0)
                painter.fillRect(QRect(cell.x() + cell.width(), cell.y(), lw, whole.height()),
                                 vert ? lc : gap);
            if (lh > 0)
                painter.fillRect(QRect(cell.x(), cell.y() + cell.height(), cell.width(), lh),
                                 horz ? lc : gap);
        }
    }
    const QRect all = viewport()->rect();
    if (right < all.width())
        painter.fillRect(QRect(right, 0, all.width() - right, all.height()), bg);
    if (bottom < all.height())
        painter.fillRect(QRect(0, bottom, std::min(right, all.width()), all.height() - bottom), bg);
}

// --- mouse, keys and focus --------------------------------------------------

TGridCoord TCustomGrid::DragCoord(QPoint pos) const
{
    // Outside the client area the selection runs on by one cell, which
    // scrolls it into view.
    const Layout l = ComputeLayout(size());
    const TGridCoord hit = MouseCoord(std::clamp(pos.x(), 0, std::max(0, l.clientWidth - 1)),
                                      std::clamp(pos.y(), 0, std::max(0, l.clientHeight - 1)));
    TGridCoord cell = current_;
    if (pos.x() < FixedWidth())
        cell.X = std::max(fixedCols_, leftCol_ - 1);
    else if (pos.x() >= l.clientWidth)
        cell.X = std::min(colCount_ - 1, leftCol_ + FullyVisibleCols(l.clientWidth));
    else if (hit.X >= fixedCols_)
        cell.X = hit.X;
    else
        cell.X = colCount_ - 1;
    if (pos.y() < FixedHeight())
        cell.Y = std::max(fixedRows_, topRow_ - 1);
    else if (pos.y() >= l.clientHeight)
        cell.Y = std::min(rowCount_ - 1, topRow_ + FullyVisibleRows(l.clientHeight));
    else if (hit.Y >= fixedRows_)
        cell.Y = hit.Y;
    else
        cell.Y = rowCount_ - 1;
    return cell;
}

void TCustomGrid::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    if (!cell.Valid() || cell.X < fixedCols_ || cell.Y < fixedRows_)
        return;
    selecting_ = true;
    const bool extend = (options_ & goRangeSelect) && (event->modifiers() & Qt::ShiftModifier);
    FocusCell(cell.X, cell.Y, !extend);
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!selecting_ || !(event->buttons() & Qt::LeftButton))
        return;
    const TGridCoord cell = DragCoord(event->position().toPoint());
    if (cell != current_)
        FocusCell(cell.X, cell.Y, !(options_ & goRangeSelect));
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    selecting_ = false;
    if (viewport()->rect().contains(event->position().toPoint()))
        emit OnClick();
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
}

void TCustomGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    TGridCoord to = current_;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (ctrl) {
            event->ignore();
            return;
        }
        to.X += event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
        to.Y += event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1 : 0;
        break;
    case Qt::Key_PageUp:
        to.Y -= std::max(1, VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        to.Y += std::max(1, VisibleRowCount());
        break;
    case Qt::Key_Home:
        to.X = fixedCols_;
        if (ctrl)
            to.Y = fixedRows_;
        break;
    case Qt::Key_End:
        to.X = colCount_ - 1;
        if (ctrl)
            to.Y = rowCount_ - 1;
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
    to.X = std::clamp(to.X, fixedCols_, colCount_ - 1);
    to.Y = std::clamp(to.Y, fixedRows_, rowCount_ - 1);
    if (to != current_)
        NavigateTo(to.X, to.Y, shift && (options_ & goRangeSelect));
}

void TCustomGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TCustomGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    selecting_ = false;
    viewport()->update();
}

void TCustomGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        selecting_ = false;
        viewport()->update();
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        Changed();
        break;
    default:
        break;
    }
}
