#include "gui/updown.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

std::int16_t To16(long long value)
{
    return static_cast<std::int16_t>(std::clamp<long long>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return b;
}

} // namespace

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), up_(ArrowButton(this, Qt::UpArrow)), down_(ArrowButton(this, Qt::DownArrow))
{
    setFocusPolicy(Qt::NoFocus);
    resize(16, 24);
    Arrange();
    connect(up_, &QToolButton::clicked, this, [this] { Step(btNext); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(btPrev); });
}

int TUpDown::Clamp(long long value) const
{
    return std::clamp<long long>(value, std::min(min_, max_), std::max(min_, max_));
}

void TUpDown::SetMin(int value)
{
    min_ = To16(value);
    position_ = To16(Clamp(position_));
}

void TUpDown::SetMax(int value)
{
    max_ = To16(value);
    position_ = To16(Clamp(position_));
}

void TUpDown::SetPosition(int value)
{
    position_ = To16(Clamp(value));
}

void TUpDown::Step(TUDBtnType button)
{
    const long long step = button == btNext ? increment_ : -static_cast<long long>(increment_);
    position_ = To16(Clamp(position_ + step));
    emit OnClick(button);
}

void TUpDown::SetTabStop(bool on)
{
    // A click on a button focuses the up-down: the buttons take none.
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    Arrange();
    update();
}

void TUpDown::resizeEvent(QResizeEvent*)
{
    Arrange();
}

void TUpDown::Arrange()
{
    // A tab stop keeps a pixel around its buttons for the focus frame.
    const int margin = TabStop() ? 1 : 0;
    const QRect inside = rect().adjusted(margin, margin, -margin, -margin);
    const int upper = inside.height() / 2;
    up_->setGeometry(inside.left(), inside.top(), inside.width(), upper);
    down_->setGeometry(inside.left(), inside.top() + upper, inside.width(),
                       inside.height() - upper);
}

void TUpDown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Step(event->key() == Qt::Key_Up ? btNext : btPrev);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TUpDown::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TUpDown::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TUpDown::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
