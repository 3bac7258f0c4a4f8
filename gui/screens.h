#pragma once

// Windows wholly on the screens. Every top-level window of ours (the main
// window, the floating tool windows, the dialogs) is placed through here, so
// that its frame (the window manager's title bar and borders included) can
// always be grabbed and seen whole, however it was placed and whatever
// window came before it.

#include <QPoint>
#include <QRect>

class QWidget;

namespace screens {

// The rectangle moved, and shrunk where it is larger, into the available
// area of the screen that shows most of it (the screen nearest to it when
// none does). A rectangle already inside one screen's area is returned as
// it is; without a screen, too.
QRect Fit(const QRect& frame);

// Keeps a top-level window's frame on a screen each time it is shown: at
// once, and again when the window manager has framed it. Safe to call more
// than once; a call while the window is showing takes effect for this
// showing.
void KeepOnScreen(QWidget* window);

// Moves a top-level window so that its frame's top left corner stands at
// the point, and keeps it on a screen. Qt places the inside there instead
// when the window's native window was made before it was first shown (a
// message shown on its behalf does that): once the window manager has
// framed it, it is moved so that the frame stands there after all.
void PlaceFrame(QWidget* window, const QPoint& frameTopLeft);

} // namespace screens
