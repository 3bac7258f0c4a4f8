#include "controls/bevlabel.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

TBevelLabel::TBevelLabel(QWidget* parent) : QWidget(parent)
{
    look_.singleLine = false;
    setFocusPolicy(Qt::NoFocus);
    look_.font = font();
}

void TBevelLabel::Changed()
{
    updateGeometry();
    update();
}

void TBevelLabel::SetDown(bool down)
{
    if (down == down_)
        return;
    down_ = down;
    look_.bevelInner = down ? bvLowered : bvRaised;
    look_.bevelOuter = bvNone;
    update();
}

void TBevelLabel::SetBevelInner(TBevelCut cut)
{
    look_.bevelInner = cut;
    Changed();
}

void TBevelLabel::SetBevelOuter(TBevelCut cut)
{
    look_.bevelOuter = cut;
    Changed();
}

void TBevelLabel::SetBevelWidth(int width)
{
    look_.bevelWidth = std::max(width, 1);
    Changed();
}

void TBevelLabel::SetBorderWidth(int width)
{
    look_.borderWidth = std::max(width, 0);
    Changed();
}

void TBevelLabel::SetTextRotate(TTextRotate rotate)
{
    if (rotate != look_.rotate) {
        look_.rotate = rotate;
        Changed();
    }
}

void TBevelLabel::SetSingleLine(bool singleLine)
{
    if (singleLine != look_.singleLine) {
        look_.singleLine = singleLine;
        Changed();
    }
}

void TBevelLabel::SetTextBorder(int border)
{
    if (border != look_.textBorder) {
        look_.textBorder = border;
        Changed();
    }
}

void TBevelLabel::SetLineBorder(int border)
{
    if (border != lineBorder_) {
        lineBorder_ = border;
        update();
    }
}

void TBevelLabel::SetTextOffset(int offset)
{
    if (offset != look_.textOffset) {
        look_.textOffset = offset;
        Changed();
    }
}

void TBevelLabel::SetAlignment(TAlignment alignment)
{
    if (alignment != look_.alignment) {
        look_.alignment = alignment;
        update();
    }
}

void TBevelLabel::SetLayout(TTextLayout layout)
{
    if (layout != look_.layout) {
        look_.layout = layout;
        update();
    }
}

void TBevelLabel::SetWordWrap(bool wrap)
{
    if (wrap != look_.wordWrap) {
        look_.wordWrap = wrap;
        update();
    }
}

void TBevelLabel::SetColor(TColor color)
{
    if (color != look_.color) {
        look_.color = color;
        update();
    }
}

void TBevelLabel::SetFontColor(TColor color)
{
    if (color != look_.fontColor) {
        look_.fontColor = color;
        update();
    }
}

void TBevelLabel::SetCaption(const QString& caption)
{
    if (caption != look_.caption) {
        look_.caption = caption;
        Changed();
    }
}

QSize TBevelLabel::sizeHint() const
{
    const int frame = (look_.bevelOuter != bvNone ? look_.bevelWidth : 0) + look_.borderWidth +
        (look_.bevelInner != bvNone ? look_.bevelWidth : 0);
    const QFontMetrics fm(look_.font);
    QSize text = look_.singleLine
        ? QSize(fm.horizontalAdvance(look_.caption), fm.height())
        : fm.boundingRect(QRect(), Qt::TextExpandTabs, look_.caption).size();
    text += QSize(2 * look_.textBorder + look_.textOffset, 2 * look_.textBorder);
    if (look_.singleLine && (look_.rotate == trLeft || look_.rotate == trRight))
        text.transpose();
    return text + QSize(2 * frame, 2 * frame);
}

void TBevelLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    labelpaint::PaintFrameAndFace(p, r, look_, palette());
    const QRect t = labelpaint::TextBox(r, look_);
    if (look_.singleLine)
        labelpaint::PaintSingleLine(p, r, t, look_, palette());
    else
        labelpaint::PaintMultiLine(p, r, t, look_, palette());
}

void TBevelLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        look_.font = font();
        Changed();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void TBevelLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        clicking_ = true;
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TBevelLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->modifiers(), event->position().toPoint());
}

void TBevelLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = clicking_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        clicking_ = false;
    if (click)
        emit Clicked();
    emit MouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void TBevelLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click gives the double-click event and no
    // second click.
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}
