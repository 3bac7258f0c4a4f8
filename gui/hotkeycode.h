#pragma once

// Qt forms of the global hot-key codes the settings keep. They need no
// settings object, so the controls that edit hot keys use them from below the
// application.

#include <QKeySequence>

#include <cstdint>

namespace settingsqt {

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
