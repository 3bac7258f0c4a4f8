#include "app/settingsqt/settingsqt.h"

#include "gui/colors.h"

#include <QApplication>

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
