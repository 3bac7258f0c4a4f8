// The kind colours are shared by every holiday list for the life of the
// program, so their test has a program of its own.
#include "core/holidays.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

TEST(HolidayColors, ColourLinesChangeKindsOneToSevenAndPersist)
{
    const std::array<std::uint32_t, 8> builtIn = { 0x008888FF, 0x00FF8888, 0x00808080, 0x00808080,
                                                   0x00808080, 0x00808080, 0x00808080, 0x00808080 };
    EXPECT_EQ(HolidayKindColors(), builtIn);

    THolidayList first;
    // Six items: not a colour line; item 0 is never kind 0.
    first.LoadFromText("=,$1,$2,$3,$4,$5\r\n");
    EXPECT_EQ(HolidayKindColors(), builtIn);
    // Item 1 empty keeps kind 1; item 2 sets kind 2.
    first.LoadFromText("  =,,$FF0000,,,,,\r\n");
    auto expected = builtIn;
    expected[2] = 0x00FF0000;
    EXPECT_EQ(HolidayKindColors(), expected);
    // "=" followed directly by numbers: item 0 is "=" and ignored, so kind 0
    // keeps its colour; items past 7 are ignored.
    first.LoadFromText("=,1,2,3,4,5,6,7,8,9\r\n");
    expected = { 0x008888FF, 1, 2, 3, 4, 5, 6, 7 };
    EXPECT_EQ(HolidayKindColors(), expected);
    // A colour line with an item that is no number changes nothing.
    first.LoadFromText("=,$10,$20,red,$40,$50,$60,$70\r\n");
    EXPECT_EQ(HolidayKindColors(), expected);
    EXPECT_EQ(first.Count(), 0);

    // A later list, loaded from a file without colour lines, keeps them.
    THolidayList second;
    second.LoadFromText("1,1,0,1949,9999,0,New Year\r\n");
    second.Clear();
    EXPECT_EQ(HolidayKindColors(), expected);
    second.LoadFromText("=,$00112233,,,,,,$FFFFFFFF\r\n");
    expected[1] = 0x00112233;
    expected[7] = 0xFFFFFFFF;
    EXPECT_EQ(HolidayKindColors(), expected);
}
