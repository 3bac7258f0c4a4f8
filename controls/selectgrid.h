#pragma once

// TSelectGrid: a one-row or one-column strip of labelled cells that the user
// switches on and off with the left mouse button, or with Space on the cell
// that the arrow keys move the focus frame to; the whole selection reads and
// writes as a bit mask. Item i stands in the cell (column c, row r) with
// i = c + r * ColCount; cells beyond the items are empty.
//
// Painting depends only on the properties, the items' selection and the
// focus.

#include "gui/grid.h"

#include <QStringList>

#include <vector>

enum TArrangeStyle { asHorizontal, asVertical };

class TSelectGrid : public TCustomGrid
{
    Q_OBJECT
public:
    // 5 x 1 cells of 50 x 22 pixels, no scroll bars, no items.
    explicit TSelectGrid(QWidget* parent = nullptr);

    // Assigning the items clears their selection and arranges the strip:
    // one row of item-count columns (asHorizontal) or one column of
    // item-count rows (asVertical); the cells then share the client area.
    const QStringList& Items() const { return items_; }
    void SetItems(const QStringList& items);
    bool ItemSelected(int index) const;
    // Takes effect at the next assignment of the items.
    TArrangeStyle ArrangeStyle() const { return arrangeStyle_; }
    void SetArrangeStyle(TArrangeStyle style);

    // The selection as a mask. Reversebit off: the first item is the most
    // significant bit (of item-count bits), the last item bit 0. On: item i
    // is bit i. Bits are counted modulo 32.
    bool Reversebit() const { return reversebit_; }
    void SetReversebit(bool on) { reversebit_ = on; }
    int GetBits() const;
    void SetBits(int mask);

protected:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                  TGridDrawState state) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Switches the item of the cell, when it has one.
    void Toggle(int col, int row);
    // Shares the client area among the cells; leftover pixels go to the last
    // columns.
    void ResizeCells(int width, int height);

    QStringList items_;
    std::vector<bool> selected_;
    bool reversebit_ = false;
    TArrangeStyle arrangeStyle_ = asHorizontal;
};
