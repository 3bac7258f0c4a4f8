#include "controls/btnlabel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

bool IsClickKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space;
}

Qt::FocusPolicy PolicyFor(bool tabStop)
{
    // Without a tab stop the control is focused only by its own click.
    return tabStop ? Qt::TabFocus : Qt::NoFocus;
}

} // namespace

// ---- TButtonLabel ----------------------------------------------------------

TButtonLabel::TButtonLabel(QWidget* parent) : QWidget(parent)
{
    look_.singleLine = true;
    look_.font = font();
    resize(185, 41);
    setFocusPolicy(PolicyFor(tabStop_));
}

void TButtonLabel::SetBevelInner(TBevelCut cut)
{
    look_.bevelInner = cut;
    update();
}

void TButtonLabel::SetBevelOuter(TBevelCut cut)
{
    look_.bevelOuter = cut;
    update();
}

void TButtonLabel::SetBevelWidth(int width)
{
    look_.bevelWidth = std::max(width, 1);
    update();
}

void TButtonLabel::SetBorderWidth(int width)
{
    look_.borderWidth = std::max(width, 0);
    update();
}

void TButtonLabel::SetDrawFocusRect(bool draw)
{
    if (draw != drawFocusRect_) {
        drawFocusRect_ = draw;
        update();
    }
}

void TButtonLabel::SetLayout(TTextLayout layout)
{
    if (layout != look_.layout) {
        look_.layout = layout;
        update();
    }
}

void TButtonLabel::SetAlignment(TAlignment alignment)
{
    if (alignment != look_.alignment) {
        look_.alignment = alignment;
        update();
    }
}

void TButtonLabel::SetTextRotate(TTextRotate rotate)
{
    if (rotate != look_.rotate) {
        look_.rotate = rotate;
        update();
    }
}

void TButtonLabel::SetColor(TColor color)
{
    if (color != look_.color) {
        look_.color = color;
        update();
    }
}

void TButtonLabel::SetFontColor(TColor color)
{
    if (color != look_.fontColor) {
        look_.fontColor = color;
        update();
    }
}

void TButtonLabel::SetCaption(const QString& caption)
{
    if (caption != look_.caption) {
        look_.caption = caption;
        update();
    }
}

void TButtonLabel::SetTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    setFocusPolicy(PolicyFor(tabStop));
}

void TButtonLabel::Click()
{
    setFocus(Qt::MouseFocusReason);
    emit Clicked();
}

QSize TButtonLabel::sizeHint() const
{
    return QSize(185, 41);
}

void TButtonLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (pressed_)
        r.translate(2, 2);
    labelpaint::PaintFrameAndFace(p, r, look_, palette());
    labelpaint::PaintSingleLine(p, r, labelpaint::TextBox(r, look_), look_, palette());
    if (drawFocusRect_ && hasFocus())
        labelpaint::PaintFocusRect(p, r, labelpaint::FaceColor(look_.color, palette()));
}

void TButtonLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        look_.font = font();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void TButtonLabel::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        clicking_ = true;
        pressed_ = true;
        update();
    }
}

void TButtonLabel::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    // Leaving releases the pressed look for good; coming back does not press
    // it again (the click on release inside still counts).
    if (pressed_ && (pos.x() < 0 || pos.x() > width() || pos.y() < 0 || pos.y() > height())) {
        pressed_ = false;
        update();
    }
}

void TButtonLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (pressed_) {
        pressed_ = false;
        update();
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = clicking_ && rect().contains(event->position().toPoint());
    clicking_ = false;
    if (click)
        Click();
}

void TButtonLabel::keyPressEvent(QKeyEvent* event)
{
    if (IsClickKey(event)) {
        emit Clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TButtonLabel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TButtonLabel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

// ---- TColorButton ----------------------------------------------------------

TColorButton::TColorButton(QWidget* parent) : QWidget(parent)
{
    resize(80, 21);
    setFocusPolicy(PolicyFor(tabStop_));
}

void TColorButton::SetDrawFocus(TFocusBandType type)
{
    if (type != drawFocus_) {
        drawFocus_ = type;
        update();
    }
}

void TColorButton::SetDrawFrame(bool draw)
{
    if (draw != drawFrame_) {
        drawFrame_ = draw;
        update();
    }
}

void TColorButton::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        update();
    }
}

void TColorButton::SetFontColor(TColor color)
{
    if (color != fontColor_) {
        fontColor_ = color;
        update();
    }
}

void TColorButton::SetCaption(const QString& caption)
{
    if (caption != caption_) {
        caption_ = caption;
        update();
    }
}

void TColorButton::SetTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    setFocusPolicy(PolicyFor(tabStop));
}

QColor TColorButton::TextColor() const
{
    if (!autoFontColor_)
        return colors::ToQColor(fontColor_, palette());
    // A system colour is resolved to its RGB value before it is inverted.
    const TColor rgb = colors::ToRgb(color_ == -1 ? colors::clWindow : color_, palette());
    return colors::ToQColor(~rgb & 0xFFFFFF);
}

void TColorButton::Click()
{
    setFocus(Qt::MouseFocusReason);
    emit Clicked();
}

QSize TColorButton::sizeHint() const
{
    return QSize(80, 21);
}

void TColorButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    const bool focused = hasFocus();
    if (focused && drawFrame_) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::black);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), Qt::black);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), Qt::black);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), Qt::black);
        r.adjust(1, 1, -1, -1);
    }

    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.state &= ~QStyle::State_HasFocus;
    if (focused)
        opt.state |= QStyle::State_HasFocus;
    opt.state |= pressed_ ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
    // The swatch covers the face inside the button's two-pixel edge.
    r.adjust(2, 2, -2, -2);

    const QColor face = labelpaint::FaceColor(color_, palette());
    if (r.width() > 0 && r.height() > 0)
        p.fillRect(r, face);
    p.setFont(font());
    p.setPen(TextColor());
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption_);

    if (focused && drawFocus_ != fbNone) {
        if (drawFocus_ == fbBand) {
            const QFontMetrics fm(font());
            const int space = fm.horizontalAdvance(QLatin1Char(' '));
            const int measuredRight = r.left() + fm.horizontalAdvance(caption_);
            const int measuredBottom = r.top() + fm.height();
            r = QRect(QPoint(r.left(), r.top()),
                      QPoint(measuredRight + 2 * space - 1, measuredBottom - 1));
            r.translate((width() - 2 * space - measuredRight) / 2, (height() - measuredBottom) / 2);
        }
        r.adjust(1, 1, -1, -1);
        labelpaint::PaintFocusRect(p, r, face);
    }
}

void TColorButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

void TColorButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = tracking_ = event->button() == Qt::LeftButton;
    if (pressed_)
        update();
    QWidget::mousePressEvent(event);
}

void TColorButton::mouseMoveEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        // Coming back with the button held presses the face again.
        if (tracking_ && !pressed_) {
            pressed_ = true;
            update();
        }
    } else if (pressed_) {
        pressed_ = false;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void TColorButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressed_) {
        pressed_ = false;
        update();
    }
    const bool click = tracking_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint());
    tracking_ = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        Click();
}

void TColorButton::keyPressEvent(QKeyEvent* event)
{
    if (IsClickKey(event)) {
        emit Clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TColorButton::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TColorButton::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
