#pragma once

// Windows virtual-key codes (the low byte of a stored hot-key code) as X11
// keysyms, for grabbing global hot keys on an X display. The keys are those
// the settings can hold (see settingsqt::VirtualKeyToQt in gui/hotkeycode.h).

#include <cstdint>

namespace vkeys {

// 0 when the key has no keysym here.
std::uint32_t VirtualKeyToKeysym(int virtualKey);

// Modifier bits of a stored hot-key code.
constexpr std::uint16_t kShift = 0x2000;
constexpr std::uint16_t kCtrl = 0x4000;
constexpr std::uint16_t kAlt = 0x8000;

} // namespace vkeys
