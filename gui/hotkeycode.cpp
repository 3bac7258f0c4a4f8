#include "gui/hotkeycode.h"

#include <utility>

namespace settingsqt {

namespace {

constexpr std::uint16_t kShift = 0x2000;
constexpr std::uint16_t kCtrl = 0x4000;
constexpr std::uint16_t kAlt = 0x8000;

// Virtual keys without a regular run of Qt keys (letters, digits, function
// keys and the number pad are computed).
constexpr std::pair<int, Qt::Key> kNamedKeys[] = {
    { 0x08, Qt::Key_Backspace },  { 0x09, Qt::Key_Tab },          { 0x0C, Qt::Key_Clear },
    { 0x0D, Qt::Key_Return },     { 0x13, Qt::Key_Pause },        { 0x14, Qt::Key_CapsLock },
    { 0x1B, Qt::Key_Escape },     { 0x20, Qt::Key_Space },        { 0x21, Qt::Key_PageUp },
    { 0x22, Qt::Key_PageDown },   { 0x23, Qt::Key_End },          { 0x24, Qt::Key_Home },
    { 0x25, Qt::Key_Left },       { 0x26, Qt::Key_Up },           { 0x27, Qt::Key_Right },
    { 0x28, Qt::Key_Down },       { 0x2C, Qt::Key_Print },        { 0x2D, Qt::Key_Insert },
    { 0x2E, Qt::Key_Delete },     { 0x2F, Qt::Key_Help },         { 0x90, Qt::Key_NumLock },
    { 0x91, Qt::Key_ScrollLock }, { 0xBA, Qt::Key_Semicolon },    { 0xBB, Qt::Key_Equal },
    { 0xBC, Qt::Key_Comma },      { 0xBD, Qt::Key_Minus },        { 0xBE, Qt::Key_Period },
    { 0xBF, Qt::Key_Slash },      { 0xC0, Qt::Key_QuoteLeft },    { 0xDB, Qt::Key_BracketLeft },
    { 0xDC, Qt::Key_Backslash },  { 0xDD, Qt::Key_BracketRight }, { 0xDE, Qt::Key_Apostrophe },
};

// The number pad's operators: VK_MULTIPLY .. VK_DIVIDE (0x6C, the separator,
// has no Qt key).
constexpr std::pair<int, Qt::Key> kPadKeys[] = {
    { 0x6A, Qt::Key_Asterisk }, { 0x6B, Qt::Key_Plus },  { 0x6D, Qt::Key_Minus },
    { 0x6E, Qt::Key_Period },   { 0x6F, Qt::Key_Slash },
};

} // namespace

QKeyCombination VirtualKeyToQt(int vk)
{
    if (vk >= '0' && vk <= '9')
        return Qt::Key(Qt::Key_0 + (vk - '0'));
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key(Qt::Key_A + (vk - 'A'));
    if (vk >= 0x70 && vk <= 0x87) // F1..F24
        return Qt::Key(Qt::Key_F1 + (vk - 0x70));
    if (vk >= 0x60 && vk <= 0x69)
        return QKeyCombination(Qt::KeypadModifier, Qt::Key(Qt::Key_0 + (vk - 0x60)));
    for (const auto& [code, key] : kPadKeys)
        if (code == vk)
            return QKeyCombination(Qt::KeypadModifier, key);
    for (const auto& [code, key] : kNamedKeys)
        if (code == vk)
            return key;
    return QKeyCombination(Qt::Key(0));
}

int QtToVirtualKey(QKeyCombination combination)
{
    const int key = combination.key();
    if (combination.keyboardModifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return 0x60 + (key - Qt::Key_0);
        for (const auto& [code, padKey] : kPadKeys)
            if (padKey == key)
                return code;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    // Qt reports the Enter key of the number pad apart from Return.
    if (key == Qt::Key_Enter)
        return 0x0D;
    for (const auto& [code, namedKey] : kNamedKeys)
        if (namedKey == key)
            return code;
    return 0;
}

QKeySequence ToKeySequence(std::uint16_t code)
{
    const QKeyCombination base = VirtualKeyToQt(code & 0xFF);
    if (base.key() == Qt::Key(0))
        return QKeySequence();
    Qt::KeyboardModifiers mods = base.keyboardModifiers();
    if (code & kShift)
        mods |= Qt::ShiftModifier;
    if (code & kCtrl)
        mods |= Qt::ControlModifier;
    if (code & kAlt)
        mods |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(mods, base.key()));
}

std::uint16_t FromKeySequence(const QKeySequence& sequence)
{
    if (sequence.count() != 1)
        return 0;
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    if (mods & Qt::MetaModifier)
        return 0;
    const int vk = QtToVirtualKey(combination);
    if (vk == 0)
        return 0;
    std::uint16_t code = static_cast<std::uint16_t>(vk);
    if (mods & Qt::ShiftModifier)
        code |= kShift;
    if (mods & Qt::ControlModifier)
        code |= kCtrl;
    if (mods & Qt::AltModifier)
        code |= kAlt;
    return code;
}

} // namespace settingsqt
