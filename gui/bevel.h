#pragma once

// Bevelled frames as the Windows controls draw them: rings of 1-pixel lines,
// the top and left edges in one colour and the bottom and right edges in
// another, the rectangle shrinking by one pixel per ring.

#include "gui/colors.h"

#include <QColor>
#include <QPalette>
#include <QRect>

class QPainter;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

namespace bevel {

// Draws width rings on r's edge and shrinks r by width on every side. In each
// ring the top row (without its rightmost pixel) and the left column (without
// its bottom pixel) take topLeft; the right column and the bottom row take
// bottomRight, so the top-right and bottom-left corners are bottomRight.
void Frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width);

// The two edge colours of a cut: lowered draws shadow at the top left and
// highlight at the bottom right; raised and space the other way round.
struct EdgeColors
{
    QColor topLeft;
    QColor bottomRight;
};
EdgeColors CutColors(TBevelCut cut, const QPalette& palette);

// Draws the bevel of a cut (nothing for bvNone) and shrinks r by width.
void DrawBevel(QPainter& p, QRect& r, TBevelCut cut, int width, const QPalette& palette);

} // namespace bevel
