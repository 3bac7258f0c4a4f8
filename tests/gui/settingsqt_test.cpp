#include "gui/settingsqt.h"

#include "gui/colors.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace settingsqt;

TEST(SettingsQt, FontRecords)
{
    // The 12-point, bold and italic, fixed-pitch, red font of a settings line.
    const TFontRec red { "IPAGothic", 128, 0x0000FF, fsBold | fsItalic, 12, fpFixed };
    const QFont f = ToQFont(red);
    EXPECT_EQ(f.family(), u"IPAGothic"_qs);
    EXPECT_EQ(f.pointSize(), 12);
    EXPECT_TRUE(f.bold() && f.italic() && !f.underline() && !f.strikeOut() && f.fixedPitch());
    EXPECT_EQ(FontColor(red), QColor(255, 0, 0));

    const TFontRec huge { "", 0, colors::clWindowText, fsUnderline | fsStrikeOut, 5000, fpDefault };
    const QFont g = ToQFont(huge);
    EXPECT_TRUE(g.underline() && g.strikeOut() && !g.bold());
    EXPECT_EQ(g.pointSize(), 1000); // an absurd size cannot exhaust the glyph caches
    EXPECT_EQ(g.family(), QFont().family()); // no face: the application's family
    EXPECT_EQ(FontColor(huge), QApplication::palette().color(QPalette::Active, QPalette::Text));

    // Through Qt and back; a Japanese face goes through the text boundary.
    const TFontRec cases[] = {
        { "IPAPGothic", 128, colors::clWindowText, 0, 9, fpDefault },
        { "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E", 1, 0x123456, fsBold, 14, fpFixed },
        { "Mincho", 0, 0, fsItalic | fsStrikeOut, 1, fpVariable },
    };
    EXPECT_EQ(ToQFont(cases[1]).family(), u"ＭＳ ゴシック"_qs);
    for (const TFontRec& rec : cases) {
        TFontRec back { "", rec.Charset, rec.Color };
        FromQFont(ToQFont(rec), back);
        EXPECT_EQ(back, rec) << rec.Name;
    }
    // A font dialog's answer changes face, size and style, not character set
    // or colour.
    TFontRec rec { "A", 77, 0x00FF00, fsBold, 9, fpFixed };
    QFont chosen(u"B"_qs, 20);
    chosen.setItalic(true);
    FromQFont(chosen, rec);
    EXPECT_EQ(rec, (TFontRec { "B", 77, 0x00FF00, fsItalic, 20, fpDefault }));
}

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
