#include "platform/vkeys.h"

#include <utility>

namespace vkeys {

namespace {

// Keysym values of the X protocol (keysymdef.h), written out so that users
// of this table need no X headers.
constexpr std::pair<int, std::uint32_t> kNamedKeys[] = {
    { 0x08, 0xff08 }, // BackSpace
    { 0x09, 0xff09 }, // Tab
    { 0x0C, 0xff0b }, // Clear
    { 0x0D, 0xff0d }, // Return
    { 0x13, 0xff13 }, // Pause
    { 0x14, 0xffe5 }, // Caps_Lock
    { 0x1B, 0xff1b }, // Escape
    { 0x20, 0x0020 }, // space
    { 0x21, 0xff55 }, // Prior
    { 0x22, 0xff56 }, // Next
    { 0x23, 0xff57 }, // End
    { 0x24, 0xff50 }, // Home
    { 0x25, 0xff51 }, // Left
    { 0x26, 0xff52 }, // Up
    { 0x27, 0xff53 }, // Right
    { 0x28, 0xff54 }, // Down
    { 0x2C, 0xff61 }, // Print
    { 0x2D, 0xff63 }, // Insert
    { 0x2E, 0xffff }, // Delete
    { 0x2F, 0xff6a }, // Help
    { 0x6A, 0xffaa }, // KP_Multiply
    { 0x6B, 0xffab }, // KP_Add
    { 0x6C, 0xffac }, // KP_Separator
    { 0x6D, 0xffad }, // KP_Subtract
    { 0x6E, 0xffae }, // KP_Decimal
    { 0x6F, 0xffaf }, // KP_Divide
    { 0x90, 0xff7f }, // Num_Lock
    { 0x91, 0xff14 }, // Scroll_Lock
    { 0xBA, 0x003b }, // semicolon
    { 0xBB, 0x003d }, // equal
    { 0xBC, 0x002c }, // comma
    { 0xBD, 0x002d }, // minus
    { 0xBE, 0x002e }, // period
    { 0xBF, 0x002f }, // slash
    { 0xC0, 0x0060 }, // grave
    { 0xDB, 0x005b }, // bracketleft
    { 0xDC, 0x005c }, // backslash
    { 0xDD, 0x005d }, // bracketright
    { 0xDE, 0x0027 }, // apostrophe
};

} // namespace

std::uint32_t VirtualKeyToKeysym(int vk)
{
    if (vk >= '0' && vk <= '9')
        return static_cast<std::uint32_t>(vk); // XK_0 .. XK_9
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<std::uint32_t>(vk - 'A' + 'a'); // XK_a .. XK_z
    if (vk >= 0x70 && vk <= 0x87) // F1 .. F24
        return 0xffbe + static_cast<std::uint32_t>(vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69) // number pad digits
        return 0xffb0 + static_cast<std::uint32_t>(vk - 0x60);
    for (const auto& [code, keysym] : kNamedKeys)
        if (code == vk)
            return keysym;
    return 0;
}

} // namespace vkeys
