#pragma once

// Paints a category: its back colour (or the window colour) and its name in
// its font colour.

#include <QPainter>
#include <QRect>

#include <string_view>

// kind is the Shift_JIS category text name[:fg[:bg]].
void DrawKind(QPainter& canvas, const QRect& rect, std::string_view kind);
