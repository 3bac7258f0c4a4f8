#include "controls/labelpaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace labelpaint {

namespace {

// The font of a rotated caption carries the size and face of the control's
// font and nothing else (no weight, no slant).
QFont SingleLineFont(const QFont& font)
{
    QFont f(font.family());
    if (font.pixelSize() > 0)
        f.setPixelSize(font.pixelSize());
    else
        f.setPointSizeF(font.pointSizeF());
    return f;
}

bool Sideways(TTextRotate rotate)
{
    return rotate == trLeft || rotate == trRight;
}

} // namespace

QColor FaceColor(TColor color, const QPalette& palette)
{
    return colors::ToQColor(color == -1 ? colors::clWindow : color, palette);
}

void PaintFrameAndFace(QPainter& p, QRect& r, const Look& look, const QPalette& palette)
{
    const QColor face = FaceColor(look.color, palette);
    bevel::DrawBevel(p, r, look.bevelOuter, look.bevelWidth, palette);
    if (look.borderWidth > 0)
        bevel::Frame3D(p, r, face, face, look.borderWidth);
    bevel::DrawBevel(p, r, look.bevelInner, look.bevelWidth, palette);
    if (r.width() > 0 && r.height() > 0)
        p.fillRect(r, face);
}

QRect TextBox(const QRect& r, const Look& look)
{
    int w = r.width(), h = r.height();
    if (look.singleLine && Sideways(look.rotate))
        std::swap(w, h);
    // Exclusive edges, as the placement rules count them.
    int left = look.textBorder + look.textOffset, top = look.textBorder;
    int right = w - look.textBorder, bottom = h - look.textBorder;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void PaintSingleLine(QPainter& p, const QRect& r, QRect t, const Look& look,
                     const QPalette& palette)
{
    const QFont font = SingleLineFont(look.font);
    const QFontMetrics fm(font);
    const int tw = fm.horizontalAdvance(look.caption);
    const int th = fm.height();
    int tl = t.left(), tt = t.top();
    const int tr = t.left() + t.width(), tb = t.top() + t.height();
    if (look.layout == tlCenter)
        tt += (tb - tt - th) / 2;
    else if (look.layout == tlBottom)
        tt = tb - th;
    if (look.alignment == taRightJustify)
        tl = tr - tw;
    else if (look.alignment == taCenter)
        tl += (tr - tl - tw) / 2;

    const int rl = r.left(), rt = r.top(), rr = r.left() + r.width(), rb = r.top() + r.height();
    QPoint origin;
    qreal angle = 0;
    switch (look.rotate) {
    case trReverse:
        origin = QPoint(rr - tl, rb - tt);
        angle = 180;
        break;
    case trLeft:
        origin = QPoint(rl + tt, rb - tl);
        angle = -90;
        break;
    case trRight:
        origin = QPoint(rr - tt, rt + tl);
        angle = 90;
        break;
    case trNone:
        origin = QPoint(rl + tl, rt + tt);
        break;
    }
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.translate(origin);
    p.rotate(angle);
    p.setFont(font);
    p.setPen(colors::ToQColor(look.fontColor, palette));
    p.setBrush(Qt::NoBrush);
    p.drawText(QPoint(0, fm.ascent()), look.caption);
    p.restore();
}

void PaintMultiLine(QPainter& p, const QRect& r, QRect t, const Look& look, const QPalette& palette)
{
    const int flags = Qt::TextExpandTabs | (look.wordWrap ? Qt::TextWordWrap : 0);
    const QFontMetrics fm(look.font);
    int tl = t.left(), tt = t.top();
    int tr = t.left() + t.width(), tb = t.top() + t.height();
    // Wrapped text is measured at the width it is drawn in, so that layout
    // and alignment place the lines as they will be drawn.
    const QRect measured = fm.boundingRect(QRect(0, 0, look.wordWrap ? std::max(tr - tl, 1) : 0, 0),
                                           flags, look.caption);
    const int w = measured.width() + 1, h = measured.height() + 1;
    if (look.layout == tlCenter) {
        const int top = (tt + tb - h) / 2, bottom = (tt + tb + h) / 2;
        tt = top;
        tb = bottom;
    } else if (look.layout == tlBottom) {
        tt = tb - h;
    }
    int align = Qt::AlignLeft;
    if (look.alignment == taRightJustify) {
        tl = tr - w;
        align = Qt::AlignRight;
    } else if (look.alignment == taCenter) {
        const int left = (tl + tr - w) / 2, right = (tl + tr + w) / 2;
        tl = left;
        tr = right;
        align = Qt::AlignHCenter;
    }
    if (tr <= tl || tb <= tt)
        return;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setFont(look.font);
    p.setPen(colors::ToQColor(look.fontColor, palette));
    p.setBrush(Qt::NoBrush);
    p.drawText(QRect(tl, tt, tr - tl, tb - tt).translated(r.topLeft()),
               flags | align | Qt::AlignTop, look.caption);
    p.restore();
}

void PaintFocusRect(QPainter& p, const QRect& r, const QColor& face)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QColor ink(255 - face.red(), 255 - face.green(), 255 - face.blue());
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    for (int x = l; x <= rt; x += 2) {
        p.fillRect(QRect(x, t, 1, 1), ink);
        p.fillRect(QRect(x, b, 1, 1), ink);
    }
    for (int y = t; y <= b; y += 2) {
        p.fillRect(QRect(l, y, 1, 1), ink);
        p.fillRect(QRect(rt, y, 1, 1), ink);
    }
}

} // namespace labelpaint
