#pragma once

// Category entries (name[:fg[:bg]]) painted the way the calendar shows them:
// on their back colour in their font colour. TKindDelegate paints the rows of
// a list or of a combo box's drop-down; TKindCombo is a fixed (not editable)
// combo box that paints its current entry the same way.

#include <QComboBox>
#include <QStyledItemDelegate>

class TKindDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TKindDelegate(QObject* parent = nullptr);

    // Rows one pixel taller than the text above and below.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height) { itemHeight_ = height; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int itemHeight_ = 0;
};

class TKindCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit TKindCombo(QWidget* parent = nullptr);

    TKindDelegate* Delegate() const { return delegate_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TKindDelegate* delegate_;
};
