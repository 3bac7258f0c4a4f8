#include "gui/bevel.h"

#include <QPainter>

namespace bevel {

void Frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        if (r.width() > 0 && r.height() > 0) {
            const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
            // Filled 1-pixel rectangles rather than lines: exact pixels
            // whatever the pen or antialiasing settings of the painter.
            if (b > t)
                p.fillRect(QRect(l, t, 1, b - t), topLeft);
            if (rt > l)
                p.fillRect(QRect(l, t, rt - l, 1), topLeft);
            p.fillRect(QRect(rt, t, 1, b - t + 1), bottomRight);
            p.fillRect(QRect(l, b, rt - l + 1, 1), bottomRight);
        }
        r.adjust(1, 1, -1, -1);
    }
    // A frame wider than the rectangle leaves an empty one, never a negative.
    if (r.width() < 0)
        r.setWidth(0);
    if (r.height() < 0)
        r.setHeight(0);
}

EdgeColors CutColors(TBevelCut cut, const QPalette& palette)
{
    const QColor shadow = colors::ToQColor(colors::clBtnShadow, palette);
    const QColor highlight = colors::ToQColor(colors::clBtnHighlight, palette);
    if (cut == bvLowered)
        return { shadow, highlight };
    return { highlight, shadow };
}

void DrawBevel(QPainter& p, QRect& r, TBevelCut cut, int width, const QPalette& palette)
{
    if (cut == bvNone || width <= 0)
        return;
    const EdgeColors c = CutColors(cut, palette);
    Frame3D(p, r, c.topLeft, c.bottomRight, width);
}

} // namespace bevel
