#include "controls/selectgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>

TSelectGrid::TSelectGrid(QWidget* parent) : TCustomGrid(parent)
{
    SetFixedCols(0);
    SetFixedRows(0);
    SetColCount(5);
    SetRowCount(1);
    SetScrollBars(ssNone);
    SetOptions(goVertLine | goHorzLine | goRangeSelect | goDrawFocusSelected | goThumbTracking);
    SetDefaultColWidth(50);
    SetDefaultRowHeight(22);
    resize((DefaultColWidth() + GridLineWidth()) * ColCount(),
           (DefaultRowHeight() + GridLineWidth()) * RowCount());
}

void TSelectGrid::SetItems(const QStringList& items)
{
    items_ = items;
    selected_.assign(items_.size(), false);
    const int count = static_cast<int>(std::max<qsizetype>(1, items_.size()));
    if (arrangeStyle_ == asHorizontal) {
        SetRowCount(1);
        SetColCount(count);
    } else {
        SetColCount(1);
        SetRowCount(count);
    }
    ResizeCells(ClientWidth(), ClientHeight());
    InvalidateGrid();
}

bool TSelectGrid::ItemSelected(int index) const
{
    return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[index];
}

void TSelectGrid::SetArrangeStyle(TArrangeStyle style)
{
    if (style == arrangeStyle_)
        return;
    arrangeStyle_ = style;
    InvalidateGrid();
}

int TSelectGrid::GetBits() const
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < selected_.size(); ++i) {
        if (reversebit_) {
            if (selected_[i])
                bits |= 1u << (i % 32);
        } else {
            bits = (bits << 1) | (selected_[i] ? 1u : 0u);
        }
    }
    return static_cast<int>(bits);
}

void TSelectGrid::SetBits(int mask)
{
    const auto m = static_cast<std::uint32_t>(mask);
    const std::size_t count = selected_.size();
    unsigned bit = reversebit_ ? 0 : static_cast<unsigned>((count + 31) % 32);
    for (std::size_t i = 0; i < count; ++i) {
        selected_[i] = (m >> bit) & 1u;
        bit = reversebit_ ? (bit + 1) % 32 : (bit + 31) % 32;
    }
    InvalidateGrid();
}

void TSelectGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    TCustomGrid::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && cell.Valid())
        Toggle(cell.X, cell.Y);
}

void TSelectGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->modifiers() != Qt::NoModifier) {
        TCustomGrid::keyPressEvent(event);
        return;
    }
    Toggle(Col(), Row());
}

void TSelectGrid::Toggle(int col, int row)
{
    const long long index = col + static_cast<long long>(row) * ColCount();
    if (index >= static_cast<long long>(selected_.size()))
        return;
    selected_[index] = !selected_[index];
    InvalidateCell(col, row);
}

void TSelectGrid::changeEvent(QEvent* event)
{
    TCustomGrid::changeEvent(event);
    // Only when the strip itself is switched off does it drop its choice; a
    // disabled parent panel leaves it as it is.
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        testAttribute(Qt::WA_ForceDisabled))
        SetBits(0);
}

void TSelectGrid::resizeEvent(QResizeEvent* event)
{
    ResizeCells(ClientWidth(), ClientHeight());
    TCustomGrid::resizeEvent(event);
}

void TSelectGrid::ResizeCells(int width, int height)
{
    const int line = GridLineWidth();
    const int cols = ColCount();
    const int rows = RowCount();
    SetDefaultColWidth((width - line * cols) / cols);
    SetDefaultRowHeight((height - line * rows) / rows);
    int rest = width - line * cols;
    for (int i = 0; i < cols; ++i) {
        const int w = rest / (cols - i);
        SetColWidths(i, w);
        rest -= w;
    }
}

void TSelectGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                           TGridDrawState state)
{
    const long long index = col + static_cast<long long>(row) * ColCount();
    if (index >= items_.size()) {
        painter.fillRect(rect, colors::ToQColor(Color(), palette()));
        return;
    }
    TColor bg = Color();
    TColor fg = colors::clWindowText;
    QColor text;
    if (!isEnabled()) {
        bg = colors::clBtnFace;
        text = QColor(128, 128, 128);
    } else if (selected_[index]) {
        bg = colors::clHighlight;
        fg = colors::clHighlightText;
    }
    if (!text.isValid())
        text = colors::ToQColor(fg, palette());
    painter.fillRect(rect, colors::ToQColor(bg, palette()));

    const QString& label = items_[index];
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(label);
    const int h = fm.height();
    const int x = std::max(0, (rect.left() + rect.left() + rect.width() - w) / 2);
    const int y = std::max(0, (rect.top() + rect.top() + rect.height() - h) / 2);
    painter.setPen(text);
    painter.drawText(QRect(x, y, w, h), Qt::AlignLeft | Qt::AlignTop, label);
    if (state & gdFocused)
        DrawFocusFrame(painter, rect.adjusted(1, 1, -1, -1), colors::ToQColor(bg, palette()));
}
