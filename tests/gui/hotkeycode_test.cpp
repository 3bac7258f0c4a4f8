#include "gui/hotkeycode.h"

#include <QKeySequenceEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace settingsqt;

TEST(SettingsQt, HotKeyCodes)
{
    EXPECT_EQ(ToKeySequence(0x6041), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    EXPECT_EQ(ToKeySequence(0x8070), QKeySequence(Qt::ALT | Qt::Key_F1));
    EXPECT_EQ(ToKeySequence(0x40BC), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(ToKeySequence(0x4065),
              QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5)));
    // Every key the mapping knows comes back as itself, with any modifiers.
    for (int vk = 1; vk < 256; ++vk) {
        if (VirtualKeyToQt(vk).key() == Qt::Key(0))
            continue;
        for (int mods : { 0x0000, 0x2000, 0x4000, 0x8000, 0xE000 }) {
            const auto code = static_cast<std::uint16_t>(mods | vk);
            EXPECT_EQ(FromKeySequence(ToKeySequence(code)), code) << std::hex << code;
        }
    }
    // No hot key, keys without a code, and what a code cannot hold.
    EXPECT_TRUE(ToKeySequence(0).isEmpty() && ToKeySequence(0x40FF).isEmpty() &&
                ToKeySequence(0x4000).isEmpty());
    EXPECT_EQ(FromKeySequence(QKeySequence()), 0);
    EXPECT_EQ(FromKeySequence(QKeySequence(Qt::META | Qt::Key_A)), 0);
    EXPECT_EQ(FromKeySequence(QKeySequence(Qt::CTRL | Qt::Key_Exclam)), 0);
    EXPECT_EQ(FromKeySequence(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_A),
                                           QKeyCombination(Qt::Key_B))),
              0);
    EXPECT_EQ(FromKeySequence(QKeySequence(QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter))),
              0x0D);

    // What a key-sequence editor records from real key presses.
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, std::uint16_t> typed[] = {
        { Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier, 0x6074 },
        { Qt::Key_K, Qt::AltModifier, 0x804B },
        { Qt::Key_7, Qt::ControlModifier | Qt::AltModifier, 0xC037 },
        { Qt::Key_Home, Qt::ShiftModifier, 0x2024 },
    };
    for (const auto& [key, mods, code] : typed) {
        QKeySequenceEdit edit;
        edit.show();
        QTest::keyClick(&edit, key, mods);
        EXPECT_EQ(FromKeySequence(edit.keySequence()), code);
        EXPECT_EQ(ToKeySequence(code), edit.keySequence());
    }
}
