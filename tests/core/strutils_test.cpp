#include "core/strutils.h"

#include "support/testutil.h"

#include <gtest/gtest.h>

namespace {

const std::string kKanji = Hex("8A BF"); // 漢

} // namespace

TEST(TruncateText, ByteLimit)
{
    EXPECT_EQ(TruncateText("abcdef", 3), "abc...");
    EXPECT_EQ(TruncateText("abc", 3), "abc");
    EXPECT_EQ(TruncateText("", 5), "");
    // A double-byte character met with one byte of budget is kept whole, and
    // when nothing follows it nothing was left out.
    EXPECT_EQ(TruncateText("ab" + kKanji + "cd", 3), "ab" + kKanji + "...");
    EXPECT_EQ(TruncateText("ab" + kKanji, 3), "ab" + kKanji);
    // The kept part is trimmed; the dots still show what was cut.
    EXPECT_EQ(TruncateText("  ab   cd", 5), "ab...");
    EXPECT_EQ(TruncateText(std::string("ab\0cd", 5), 10), "ab..."); // a NUL ends the text
    EXPECT_EQ(TruncateText("ab\x83", 3), "ab\x83"); // a lead byte at the very end is one byte
    // Limit 0 keeps the text as it is, not even trimmed.
    EXPECT_EQ(TruncateText("  a b \r\n", 0), "  a b \r\n");
}

TEST(TruncateText, FirstLineOnly)
{
    EXPECT_EQ(TruncateText("first line\r\nsecond line", -1), "first line...");
    EXPECT_EQ(TruncateText("  one line  ", -1), "one line");
    EXPECT_EQ(TruncateText("", -1), "");
    EXPECT_EQ(TruncateText("a\rb", -5), "a...");
    // Only blank text after the break: nothing was left out.
    EXPECT_EQ(TruncateText("memo\r\n \t\r\n", -1), "memo");
    EXPECT_EQ(TruncateText("\r\nsecond", -1), "...");
}

TEST(ExtractBetween, Markers)
{
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "[", "]"), "a b");
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "[", ""), "a b]yy");
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "(", "]"), "");
    EXPECT_EQ(ExtractBetween("xx]a[b", "[", "]"), ""); // the end is searched behind the start
    EXPECT_EQ(ExtractBetween("]x[y]z", "[", "]"), "y");
    EXPECT_EQ(ExtractBetween("  whole text \r\n", "", ""), "whole text");
    EXPECT_EQ(ExtractBetween("abc]d", "", "]"), "abc");
    EXPECT_EQ(ExtractBetween("", "[", "]"), "");
    // Markers match at character starts only: ー (81 5B) ends in "[", ア
    // (83 41) in "A".
    EXPECT_EQ(ExtractBetween(Hex("81 5B") + "[abc]", "[", "]"), "abc");
    EXPECT_EQ(ExtractBetween(Hex("81 5B") + "abc]", "[", "]"), "");
    EXPECT_EQ(ExtractBetween(Hex("83 41") + "xAyB", "A", "B"), "y");
    const std::string mail = "body\r\n--Kalvero->>>!2004/01/31,,,x!<<<--Kalvero-\r\n";
    EXPECT_EQ(ExtractBetween(mail, "\r\n--Kalvero->>>!", "!<<<--Kalvero-"), "2004/01/31,,,x");
}
