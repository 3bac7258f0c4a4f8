#include "gui/settingsqt.h"

#include "gui/colors.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

using namespace settingsqt;

TEST(SettingsQt, FontRecordToQFont)
{
    // The 12-point, bold and italic, fixed-pitch, red font of a settings line.
    const TFontRec rec { "IPAGothic", 128, 0x0000FF, fsBold | fsItalic, 12, fpFixed };
    const QFont f = ToQFont(rec);
    EXPECT_EQ(f.family(), u"IPAGothic"_qs);
    EXPECT_EQ(f.pointSize(), 12);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_TRUE(f.fixedPitch());
    EXPECT_EQ(FontColor(rec), QColor(255, 0, 0));

    const TFontRec marked {
        "x", 0, colors::clWindowText, fsUnderline | fsStrikeOut, 5000, fpDefault
    };
    const QFont g = ToQFont(marked);
    EXPECT_TRUE(g.underline() && g.strikeOut() && !g.bold());
    EXPECT_EQ(g.pointSize(), 1000); // an absurd size cannot exhaust the glyph caches
    EXPECT_EQ(FontColor(marked), QApplication::palette().color(QPalette::Active, QPalette::Text));

    // A Japanese face name goes through the text boundary.
    TFontRec jp;
    jp.Name = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"; // ＭＳ ゴシック
    EXPECT_EQ(ToQFont(jp).family(), u"ＭＳ ゴシック"_qs);
    // An empty face keeps the application's family.
    jp.Name.clear();
    EXPECT_EQ(ToQFont(jp).family(), QFont().family());
}

TEST(SettingsQt, FontRecordSurvivesAQtRoundTrip)
{
    const TFontRec cases[] = {
        { "IPAPGothic", 128, colors::clWindowText, 0, 9, fpDefault },
        { "IPAGothic", 1, 0x123456, fsBold | fsUnderline, 14, fpFixed },
        { "\x82\x6C\x82\x72Mincho", 0, 0, fsItalic | fsStrikeOut, 1, fpVariable },
    };
    for (const TFontRec& rec : cases) {
        TFontRec back;
        back.Charset = rec.Charset;
        back.Color = rec.Color;
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
    const struct
    {
        std::uint16_t code;
        QKeySequence sequence;
    } cases[] = {
        { 0x4041, QKeySequence(Qt::CTRL | Qt::Key_A) },
        { 0x6041, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A) },
        { 0x8070, QKeySequence(Qt::ALT | Qt::Key_F1) },
        { 0x0087, QKeySequence(Qt::Key_F24) },
        { 0x2030, QKeySequence(Qt::SHIFT | Qt::Key_0) },
        { 0xC020, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Space) },
        { 0x4025, QKeySequence(Qt::CTRL | Qt::Key_Left) },
        { 0x40BC, QKeySequence(Qt::CTRL | Qt::Key_Comma) },
        { 0x4065,
          QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5)) },
        { 0x806B,
          QKeySequence(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Plus)) },
        { 0x002E, QKeySequence(Qt::Key_Delete) },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToKeySequence(c.code), c.sequence) << std::hex << c.code;
        EXPECT_EQ(FromKeySequence(c.sequence), c.code) << std::hex << c.code;
    }
    // Every key the mapping knows comes back as itself, with any modifiers.
    for (int vk = 1; vk < 256; ++vk) {
        if (VirtualKeyToQt(vk).key() == Qt::Key(0))
            continue;
        for (std::uint16_t mods : { 0x0000, 0x2000, 0x4000, 0x8000, 0xE000 }) {
            const std::uint16_t code = static_cast<std::uint16_t>(mods | vk);
            EXPECT_EQ(FromKeySequence(ToKeySequence(code)), code) << std::hex << code;
        }
    }
    // No hot key, keys without a code, and what a code cannot hold.
    EXPECT_TRUE(ToKeySequence(0).isEmpty());
    EXPECT_TRUE(ToKeySequence(0x40FF).isEmpty());
    EXPECT_TRUE(ToKeySequence(0x4000).isEmpty());
    EXPECT_EQ(FromKeySequence(QKeySequence()), 0);
    EXPECT_EQ(FromKeySequence(QKeySequence(Qt::META | Qt::Key_A)), 0);
    EXPECT_EQ(FromKeySequence(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_A),
                                           QKeyCombination(Qt::Key_B))),
              0);
    EXPECT_EQ(FromKeySequence(QKeySequence(Qt::CTRL | Qt::Key_Exclam)), 0);
    // The number pad's Enter is the Return key's code.
    EXPECT_EQ(FromKeySequence(QKeySequence(QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter))),
              0x0D);
}

// What a key-sequence editor records from real key presses maps to the codes
// the hot-key registration expects.
TEST(SettingsQt, KeysTypedIntoAnEditor)
{
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        std::uint16_t code;
    } cases[] = {
        { Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier, 0x6074 },
        { Qt::Key_K, Qt::AltModifier, 0x804B },
        { Qt::Key_7, Qt::ControlModifier | Qt::AltModifier, 0xC037 },
        { Qt::Key_Home, Qt::ShiftModifier, 0x2024 },
    };
    for (const auto& c : cases) {
        QKeySequenceEdit edit;
        edit.show();
        QTest::keyClick(&edit, c.key, c.mods);
        EXPECT_EQ(FromKeySequence(edit.keySequence()), c.code)
            << edit.keySequence().toString().toStdString();
        EXPECT_EQ(ToKeySequence(c.code), edit.keySequence());
    }
}
