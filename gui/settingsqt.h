#pragma once

// Qt forms of the values that the settings object keeps in its own terms:
// font records, colours and global hot-key codes.

#include "app/settings/initparam.h"

#include <QColor>
#include <QFont>
#include <QKeySequence>

#include <cstdint>

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

// Hot-key codes: the Windows virtual-key code in the low byte, Shift 0x2000,
// Ctrl 0x4000, Alt 0x8000. Code 0, or a key without a Qt counterpart, gives
// an empty sequence.
QKeySequence ToKeySequence(std::uint16_t code);
// The code of a one-chord sequence; 0 when it cannot be one (no key, several
// chords, the Meta modifier, a key without a virtual-key code).
std::uint16_t FromKeySequence(const QKeySequence& sequence);

// The single-key mapping underneath: a virtual-key code to a Qt key (with
// Qt::KeypadModifier for the number pad) and back. 0 when there is none.
QKeyCombination VirtualKeyToQt(int virtualKey);
int QtToVirtualKey(QKeyCombination key);

} // namespace settingsqt
