#include "controls/rangegrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

int Saturate(long long v)
{
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QFont Styled(QFont f, int points, bool bold)
{
    f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    return f;
}

const QColor kDisabledText(128, 128, 128);

} // namespace

TRangeGrid::TRangeGrid(QWidget* parent) : TCustomGrid(parent)
{
    SetFixedCols(0);
    SetRowCount(2);
    SetFixedRows(1);
    SetScrollBars(ssHorizontal);
    SetOptions(goVertLine | goRangeSelect | goDrawFocusSelected | goThumbTracking);
    SetDefaultColWidth(15);
    SetDefaultRowHeight(15);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TRangeGrid::SetMaxRange(int minutes)
{
    if (minutes == maxRange_ || minutes <= 12)
        return;
    maxRange_ = minutes;
    UpdateColCount();
}

void TRangeGrid::SetTimeUnit(int minutes)
{
    if (minutes <= 0 || minutes > 60)
        return;
    const int perHour = 60 / minutes;
    const int unit = (perHour + 59) / perHour;
    if (unit == timeUnit_)
        return;
    timeUnit_ = unit;
    UpdateColCount();
}

void TRangeGrid::UpdateColCount()
{
    SetColCount(std::max(1, maxRange_ / timeUnit_));
    // Keep the grid's selection on the span's columns (quietly: the span
    // itself did not change).
    const TGridRect before = Selection();
    const long long unit = timeUnit_;
    const int last = ColCount() - 1;
    const int first = static_cast<int>(std::clamp<long long>(beginTime_ / unit, 0, last));
    const int end = static_cast<int>(std::clamp<long long>((endTime_ - 1LL) / unit, first, last));
    if (before != TGridRect { first, 1, end, 1 })
        SetSelection({ first, 1, end, 1 });
    InvalidateGrid();
}

void TRangeGrid::SetBeginTime(int minutes)
{
    beginTime_ = minutes;
    if (minutes >= endTime_)
        SetEndTime(Saturate(static_cast<long long>(minutes) + timeUnit_));
    ScrollToBegin();
    ApplySelection();
}

void TRangeGrid::SetEndTime(int minutes)
{
    endTime_ = minutes;
    if (minutes > beginTime_)
        ApplySelection();
    else
        SetBeginTime(Saturate(static_cast<long long>(minutes) - timeUnit_));
}

void TRangeGrid::ScrollToBegin()
{
    const int begin = beginTime_ / timeUnit_;
    const int perHour = 60 / timeUnit_;
    const long long first = static_cast<long long>(begin) - perHour;
    if (first < 0)
        SetLeftCol(0);
    else if (first < LeftCol())
        SetLeftCol(static_cast<int>(first));
    else if (begin > static_cast<long long>(LeftCol()) + VisibleColCount() - perHour)
        SetLeftCol(static_cast<int>(first));
}

void TRangeGrid::ApplySelection()
{
    const long long unit = timeUnit_;
    const int last = ColCount() - 1;
    const int first = static_cast<int>(std::clamp<long long>(beginTime_ / unit, 0, last));
    const int end = static_cast<int>(std::clamp<long long>((endTime_ - 1LL) / unit, first, last));
    SetSelection({ first, 1, end, 1 });
    InvalidateGrid();
    emit OnSelectTime();
}

void TRangeGrid::NavigateTo(int, int, bool)
{
}

void TRangeGrid::SetSpan(int begin, int end)
{
    // In the order in which neither setter pushes or pulls the other end.
    if (begin < endTime_) {
        SetBeginTime(begin);
        SetEndTime(end);
    } else {
        SetEndTime(end);
        SetBeginTime(begin);
    }
}

// --- keys -------------------------------------------------------------------

void TRangeGrid::keyPressEvent(QKeyEvent* event)
{
    const bool left = event->key() == Qt::Key_Left;
    if ((!left && event->key() != Qt::Key_Right) || (event->modifiers() & ~Qt::ShiftModifier)) {
        TCustomGrid::keyPressEvent(event);
        return;
    }
    const long long step = left ? -timeUnit_ : timeUnit_;
    const long long begin = std::max(beginTime_, 0);
    if (event->modifiers() & Qt::ShiftModifier) {
        const long long shortest = begin + timeUnit_;
        SetSpan(Saturate(begin),
                Saturate(std::clamp(endTime_ + step, shortest,
                                    std::max<long long>(maxRange_, shortest))));
    } else {
        const long long length = std::max(static_cast<long long>(endTime_) - beginTime_, 1LL);
        const long long first =
            std::clamp(beginTime_ + step, 0LL, std::max(0LL, maxRange_ - length));
        SetSpan(Saturate(first), Saturate(first + length));
    }
}

// --- mouse ------------------------------------------------------------------

void TRangeGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const TGridCoord cell = MouseCoord(pos.x(), pos.y());
    TCustomGrid::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || cell.Y != 1)
        return;
    dragging_ = true;
    SetSelection({ cell.X, 1, cell.X, 1 });
    beginTime_ = cell.X * timeUnit_;
    endTime_ = beginTime_ + timeUnit_;
    InvalidateGrid();
    emit OnSelectTime();
}

void TRangeGrid::mouseMoveEvent(QMouseEvent* event)
{
    TCustomGrid::mouseMoveEvent(event);
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    const TGridRect sel = Selection();
    beginTime_ = sel.Left * timeUnit_;
    endTime_ = (sel.Right + 1) * timeUnit_;
    InvalidateGrid();
    emit OnSelectTime();
}

void TRangeGrid::mouseReleaseEvent(QMouseEvent* event)
{
    TCustomGrid::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
}

// --- size -------------------------------------------------------------------

void TRangeGrid::showEvent(QShowEvent* event)
{
    // The first time the ruler appears it takes the height of its rows.
    if (!created_) {
        created_ = true;
        SetClientHeight(DefaultRowHeight() * RowCount());
    }
    TCustomGrid::showEvent(event);
}

void TRangeGrid::resizeEvent(QResizeEvent* event)
{
    // The rows share the client height.
    SetDefaultRowHeight(ClientHeight() / RowCount());
    TCustomGrid::resizeEvent(event);
}

QSize TRangeGrid::sizeHint() const
{
    const int height = DefaultRowHeight() * RowCount() + 2 * frameWidth() +
        horizontalScrollBar()->sizeHint().height();
    return { TCustomGrid::sizeHint().width(), height };
}

// --- painting ---------------------------------------------------------------

void TRangeGrid::paintEvent(QPaintEvent* event)
{
    TCustomGrid::paintEvent(event);
    QPainter painter(viewport());
    DrawHourLabels(painter);
    const QRect first = CellRect(LeftCol(), 1);
    if (hasFocus() && !first.isEmpty())
        DrawFocusFrame(painter, QRect(0, first.top(), ClientWidth(), first.height()),
                       colors::ToQColor(Color(), palette()));
}

void TRangeGrid::DrawHourLabels(QPainter& painter)
{
    // Each label starts on its full hour's column and runs on over the next
    // columns and the room between them, so the header row is painted
    // first. A label that the right edge would cut is left out.
    const int period = 60 / std::gcd(timeUnit_, 60); // columns from one full hour to the next
    const QFont font = Styled(this->font(), 10, true);
    const QFontMetrics fm(font);
    painter.setFont(font);
    painter.setPen(isEnabled() ? colors::ToQColor(colors::clWindowText, palette()) : kDisabledText);
    const int first = (LeftCol() + period - 1) / period * period;
    for (int col = first; col < ColCount(); col += period) {
        const QRect cell = CellRect(col, 0);
        if (cell.isEmpty())
            break;
        const QString label = QString::number(col * timeUnit_ / 60);
        const QRect text(cell.left(), cell.bottom() + 1 - fm.height(), fm.horizontalAdvance(label),
                         fm.height());
        if (text.right() >= ClientWidth())
            break;
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, label);
    }
}

void TRangeGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState)
{
    if (row == 0) {
        painter.fillRect(rect, colors::ToQColor(colors::clBtnFace, palette()));
        return;
    }
    const long long unit = timeUnit_;
    const long long start = col * unit;
    const int minute = static_cast<int>(start % 60);
    const QString label = QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0'));
    painter.setFont(Styled(font(), 8, false));

    auto paint = [&](const QRect& part, const QColor& bg, const QColor& fg) {
        painter.save();
        painter.setClipRect(part, Qt::IntersectClip);
        painter.fillRect(rect, bg);
        painter.setPen(fg);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, label);
        painter.restore();
    };

    if (!isEnabled()) {
        paint(rect, colors::ToQColor(colors::clBtnFace, palette()), kDisabledText);
        return;
    }
    const QColor text = minute == 0 ? QColor(255, 0, 0)
        : minute == 30              ? QColor(0, 0, 255)
                                    : colors::ToQColor(colors::clWindowText, palette());
    paint(rect, colors::ToQColor(Color(), palette()), text);

    // The part of the cell that the span covers.
    const long long lo = std::max<long long>(start, beginTime_);
    const long long hi = std::min<long long>(start + unit, endTime_);
    if (lo >= hi)
        return;
    const long long width = rect.width();
    const int x1 = rect.left() + static_cast<int>((lo - start) * width / unit);
    const int x2 =
        rect.left() + rect.width() - static_cast<int>((start + unit - hi) * width / unit);
    if (x1 < x2)
        paint(QRect(x1, rect.top(), x2 - x1, rect.height()),
              colors::ToQColor(colors::clHighlight, palette()),
              colors::ToQColor(colors::clHighlightText, palette()));
}
