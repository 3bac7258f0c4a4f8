#pragma once

// The painting scheme shared by the bevel label and the button label: bevels
// and border band, the face, and the caption either on one (rotatable) line
// or laid out on several lines.

#include "gui/bevel.h"
#include "gui/colors.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;
class QPalette;

// Text direction, as an escapement of 0, 180, 90 and 270 degrees.
enum TTextRotate { trNone, trReverse, trLeft, trRight };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

namespace labelpaint {

// The face colour of a control colour: -1 paints in the window colour.
QColor FaceColor(TColor color, const QPalette& palette);

struct Look
{
    TBevelCut bevelInner = bvLowered;
    TBevelCut bevelOuter = bvNone;
    int bevelWidth = 1;
    int borderWidth = 0;
    TColor color = colors::clBtnFace;
    TColor fontColor = colors::clWindowText;
    QFont font;
    QString caption;
    TAlignment alignment = taLeftJustify;
    TTextLayout layout = tlTop;
    TTextRotate rotate = trNone;
    bool singleLine = true;
    bool wordWrap = false;
    int textBorder = 0;
    int textOffset = 0;
};

// Draws the outer bevel, the border band and the inner bevel on r, shrinking
// it by each, then fills what is left with the face colour.
void PaintFrameAndFace(QPainter& p, QRect& r, const Look& look, const QPalette& palette);

// The text box of the caption inside the face r: the face's size (width and
// height exchanged for a sideways single line), shrunk by the text border,
// its left edge moved by the text offset. Relative to r's top-left corner.
QRect TextBox(const QRect& r, const Look& look);

// One line of text, rotated, placed in the text box t by layout and
// alignment, clipped to the face r.
void PaintSingleLine(QPainter& p, const QRect& r, QRect t, const Look& look,
                     const QPalette& palette);

// Several unrotated lines (wrapped at the text box's width with wordWrap),
// placed in t by layout and alignment, laid out and clipped inside the face r
// so that text never runs over the frame.
void PaintMultiLine(QPainter& p, const QRect& r, QRect t, const Look& look,
                    const QPalette& palette);

// A dotted focus rectangle on r's edge, every other pixel in the inverse of
// the face colour beneath it.
void PaintFocusRect(QPainter& p, const QRect& r, const QColor& face);

} // namespace labelpaint
