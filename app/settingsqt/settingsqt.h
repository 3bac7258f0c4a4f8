#pragma once

// Qt forms of the font records that the settings object keeps in its own
// terms. The hot-key codes it keeps need no settings object and have their
// Qt forms in gui/hotkeycode.h.

#include "app/settings/initparam.h"

#include <QColor>
#include <QFont>

namespace settingsqt {

// Face, size (clamped to 1..1000 points), style bits and pitch of a font
// record. An empty face keeps the application's default family; the default
// pitch leaves the pitch to the family.
QFont ToQFont(const TFontRec& font);
// The record's colour (system colours resolved against the application's
// palette).
QColor FontColor(const TFontRec& font);
// Takes face, size, style and pitch from a Qt font (as a font dialog returns
// it) into the record; character set and colour stay as they were.
void FromQFont(const QFont& qfont, TFontRec& font);

} // namespace settingsqt
