#include "app/forms/kindview.h"

#include "gui/drawkind.h"
#include "gui/qtext.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

TKindDelegate::TKindDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
}

void TKindDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    const std::string kind = qtext::FromQ(index.data(Qt::DisplayRole).toString());
    DrawKind(*painter, option.rect, kind);
    // The entry's own colours fill the row, so the selection shows as a frame.
    if (option.state & QStyle::State_Selected) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

QSize TKindDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(itemHeight_ > 0 ? itemHeight_ : option.fontMetrics.height() + 2);
    return size;
}

TKindCombo::TKindCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    delegate_ = new TKindDelegate(this);
    delegate_->SetItemHeight(fontMetrics().height() + 2);
    setItemDelegate(delegate_);
}

void TKindCombo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawKind(painter, field, qtext::FromQ(currentText()));
}
