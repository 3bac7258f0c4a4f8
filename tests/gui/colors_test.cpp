#include "gui/colors.h"
#include "gui/qtext.h"

#include <gtest/gtest.h>

TEST(Colors, BlueIsTheHighByte)
{
    EXPECT_EQ(colors::ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(colors::ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(colors::ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(colors::FromQColor(QColor(0x56, 0x34, 0x12)), 0x123456);
}

TEST(Colors, SystemColoursFollowThePalette)
{
    QPalette p;
    p.setColor(QPalette::Base, QColor(1, 2, 3));
    p.setColor(QPalette::Text, QColor(4, 5, 6));
    p.setColor(QPalette::Button, QColor(7, 8, 9));
    EXPECT_EQ(colors::ToQColor(colors::clWindow, p), QColor(1, 2, 3));
    EXPECT_EQ(colors::ToQColor(colors::clWindowText, p), QColor(4, 5, 6));
    EXPECT_EQ(colors::ToQColor(colors::clBtnFace, p), QColor(7, 8, 9));
    EXPECT_EQ(colors::ToRgb(colors::clWindow, p), 0x030201);
    EXPECT_TRUE(colors::IsSystemColor(colors::clWindow));
    EXPECT_FALSE(colors::IsSystemColor(0xFFFFFF));
    EXPECT_FALSE(colors::IsSystemColor(-1));
}

TEST(QText, ConversionAndLineEnds)
{
    EXPECT_EQ(qtext::ToQ("\x97\x5C\x92\xE8"), u"予定"_qs);
    EXPECT_EQ(qtext::FromQ(u"予定"_qs), "\x97\x5C\x92\xE8");
    EXPECT_EQ(qtext::FromQText(u"a\nb\rc"_qs), "a\r\nb\r\nc");
    EXPECT_EQ(qtext::ToQText("a\r\nb"), u"a\nb"_qs);
    EXPECT_EQ(qtext::FromQ(u"x😀y"_qs), "x?y");
}
