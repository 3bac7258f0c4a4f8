#pragma once

// TRangeGrid: a horizontal time ruler on which the user drags out a span of
// a day. Row 0 is a header with the hour numbers, row 1 has one cell per
// TimeUnit minutes with its minute label. The span (BeginTime, EndTime, in
// minutes from the ruler's 0:00, the end exclusive) may start and end inside
// a cell; such cells are highlighted only over the part the span covers.
//
// Painting depends only on the properties and the focus: the highlight is
// drawn from BeginTime and EndTime, clipped to the ruler, so a span that
// lies before the ruler or beyond its end shows nothing; the focus frames the
// time row.
//
// Keys: Left and Right move the span by a column, keeping its length, and
// never before 0:00 or past the ruler's end; with Shift they move its end,
// keeping at least a column from a begin of 0:00 or later.

#include "gui/grid.h"

class TRangeGrid : public TCustomGrid
{
    Q_OBJECT
public:
    // One header row and one time row of 15-pixel cells, 15 minutes a
    // column, horizontal scroll bar, MaxRange 0 (one column).
    explicit TRangeGrid(QWidget* parent = nullptr);

    // Length of the ruler in minutes; values of 12 or less are ignored.
    // ColCount becomes MaxRange div TimeUnit (at least 1).
    int MaxRange() const { return maxRange_; }
    void SetMaxRange(int minutes);
    // Minutes a column; values outside 1..60 are ignored, others are raised
    // to the next unit that divides an hour into whole columns
    // (7 -> 8, 25 -> 30, 45 -> 60).
    int TimeUnit() const { return timeUnit_; }
    void SetTimeUnit(int minutes);

    // The span. A begin at or after the end pushes the end to begin +
    // TimeUnit; an end at or before the begin pulls the begin to end -
    // TimeUnit. Setting the begin scrolls it into view with an hour before
    // it. OnSelectTime fires after each (twice when one pushes the other).
    int BeginTime() const { return beginTime_; }
    void SetBeginTime(int minutes);
    int EndTime() const { return endTime_; }
    void SetEndTime(int minutes);

    // Two rows of DefaultRowHeight with the scroll bar below them.
    QSize sizeHint() const override;

signals:
    // The span was set or changed (by a setter or by the mouse).
    void OnSelectTime();

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                  TGridDrawState state) override;
    // The keys would move a highlight that the times do not follow.
    void NavigateTo(int col, int row, bool extend) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The cells, then the hour labels over the header row, then the focus.
    void paintEvent(QPaintEvent* event) override;

private:
    void SetSpan(int begin, int end);
    void ApplySelection();
    void ScrollToBegin();
    void UpdateColCount();
    void DrawHourLabels(QPainter& painter);

    int maxRange_ = 0;
    int timeUnit_ = 15;
    int beginTime_ = 0;
    int endTime_ = 0;
    bool dragging_ = false;
    bool created_ = false;
};
