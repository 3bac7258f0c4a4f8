#pragma once

// Fonts of the settings on Qt widgets.

#include "app/settings/initparam.h"

#include <QFont>

class QWidget;

namespace forms {

// Face, size in points and style bits of a settings font.
QFont ToQFont(const TFontRec& rec);
// The font and its colour (as the widget's text colour).
void ApplyFont(QWidget* widget, const TFontRec& rec);

} // namespace forms
