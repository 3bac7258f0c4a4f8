#pragma once

// Colour values as the data files and settings hold them: $00BBGGRR for an RGB
// colour (blue in the high byte), $80000000 plus an index for a system colour.
// System colours map onto the palette of the running style.

#include <QColor>
#include <QPalette>

class QWidget;

#include <cstdint>

using TColor = std::int32_t;

namespace colors {

// The system colour indices in use.
enum SystemColor : std::int32_t {
    clScrollBar = static_cast<std::int32_t>(0x80000000),
    clBackground = clScrollBar + 1,
    clActiveCaption = clScrollBar + 2,
    clInactiveCaption = clScrollBar + 3,
    clMenu = clScrollBar + 4,
    clWindow = clScrollBar + 5,
    clWindowFrame = clScrollBar + 6,
    clMenuText = clScrollBar + 7,
    clWindowText = clScrollBar + 8,
    clCaptionText = clScrollBar + 9,
    clActiveBorder = clScrollBar + 10,
    clInactiveBorder = clScrollBar + 11,
    clAppWorkSpace = clScrollBar + 12,
    clHighlight = clScrollBar + 13,
    clHighlightText = clScrollBar + 14,
    clBtnFace = clScrollBar + 15,
    clBtnShadow = clScrollBar + 16,
    clGrayText = clScrollBar + 17,
    clBtnText = clScrollBar + 18,
    clInactiveCaptionText = clScrollBar + 19,
    clBtnHighlight = clScrollBar + 20,
    cl3DDkShadow = clScrollBar + 21,
    cl3DLight = clScrollBar + 22,
    clInfoText = clScrollBar + 23,
    clInfoBk = clScrollBar + 24,
};

// Common RGB values.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr bool IsSystemColor(TColor c)
{
    return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u;
}

// The palette that system colours resolve against (the application's unless
// one is given).
QColor ToQColor(TColor c);
QColor ToQColor(TColor c, const QPalette& palette);
// The RGB value ($00BBGGRR) of a colour, system colours resolved.
TColor ToRgb(TColor c);
TColor ToRgb(TColor c, const QPalette& palette);
TColor FromQColor(const QColor& c);

// A list's or an edit's face: its base and window colours.
void SetFaceColor(QWidget* widget, TColor color);

} // namespace colors
