#include "app/settings/consts.h"
#include "app/settings/strutils.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Bytes from a hex dump ("83 41 ..."), so that expectations come from a CP932
// table rather than from the converter under test.
std::string Hex(const char* dump)
{
    std::istringstream in(dump);
    std::string out;
    unsigned v;
    while (in >> std::hex >> v)
        out.push_back(static_cast<char>(v));
    return out;
}

const std::string kA = Hex("83 41"); // ア: trail byte "A"
const std::string kBar = Hex("81 5B"); // ー: trail byte "["
const std::string kKanji = Hex("8A BF"); // 漢

} // namespace

TEST(StrConst, TextsHaveTheirShiftJisBytes)
{
    using namespace strconst;
    EXPECT_EQ(PluginProductName(), Hex("4D 69 72 61 64 65 6C 83 76 83 89 83 4F 83 43 83 93"));
    EXPECT_EQ(ProgramProductName(), Hex("4D 69 72 61 64 65 6C 2D 83 41 83 76 83 8A 94 C5"));
    EXPECT_EQ(Description(),
              Hex("42 65 63 6B 79 32 20 82 C5 8A C8 92 50 82 C8 83 58 83 50 83 57 83 85 81 5B 83 "
                  "8B 8A C7 97 9D 82 AA 82 C5 82 AB 82 E9 83 76 83 89 83 4F 83 43 83 93 82 C5 82 "
                  "B7 81 42"));
    // Half-width katakana are single bytes; the line break is one LF.
    EXPECT_EQ(FileWriteError(),
              Hex("CC A7 B2 D9 82 C9 8F 91 8D 9E 82 DF 82 DC 82 B9 82 F1 82 C5 "
                  "82 B5 82 BD 0A 8F 88 97 9D 82 F0 BD B7 AF CC DF 82 B5 82 DC "
                  "82 B7"));
    EXPECT_EQ(WrongPassword(), Hex("83 70 83 58 83 8F 81 5B 83 68 82 AA 88 E1 82 A2 82 DC 82 B7"));
    EXPECT_EQ(EnterPassword(),
              Hex("83 70 83 58 83 8F 81 5B 83 68 82 F0 93 FC 97 CD 82 B5 82 C4 "
                  "89 BA 82 B3 82 A2"));
    EXPECT_EQ(RemovePassword(),
              Hex("83 70 83 58 83 8F 81 5B 83 68 82 F0 89 F0 8F 9C 82 B5 82 C4 "
                  "82 A2 82 A2 82 C5 82 B7 82 A9 81 48"));
    EXPECT_EQ(Version(), "1.12.3");
    EXPECT_EQ(DateFormat(), "yyyy\"/\"mm\"/\"dd");
    EXPECT_EQ(SubjectHeader(), "Subject:");
    EXPECT_EQ(BlockStart(), "\r\n--Kalvero->>>!");
    EXPECT_EQ(BlockEnd(), "!<<<--Kalvero-");
    EXPECT_EQ(MailtoPrefix(), "mailto:");
    EXPECT_EQ(ActiveSignal(), "ACTIVE");
    // Our own texts: plain ASCII, no line breaks.
    for (const std::string* s : { &VendorName(), &AboutLine() }) {
        EXPECT_FALSE(s->empty());
        for (unsigned char c : *s)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F);
    }
}

TEST(StrConst, ProductNameFollowsTheBuild)
{
    EXPECT_EQ(strconst::ProductName(), strconst::PluginProductName());
    strconst::SetBuild(strconst::Build::Program);
    EXPECT_EQ(strconst::ProductName(), strconst::ProgramProductName());
    strconst::SetBuild(strconst::Build::Plugin);
    EXPECT_EQ(strconst::ProductName(), strconst::PluginProductName());
}

TEST(TruncateText, ByteLimit)
{
    EXPECT_EQ(TruncateText("abcdef", 3), "abc...");
    EXPECT_EQ(TruncateText("abc", 3), "abc");
    EXPECT_EQ(TruncateText("", 5), "");
    // A double-byte character met with one byte of budget is kept whole.
    EXPECT_EQ(TruncateText("ab" + kKanji + "cd", 3), "ab" + kKanji + "...");
    // ...and when nothing follows it, nothing was left out.
    EXPECT_EQ(TruncateText("ab" + kKanji, 3), "ab" + kKanji);
    EXPECT_EQ(TruncateText(kKanji + kKanji, 1), kKanji + "...");
    // The kept part is trimmed; the dots still show what was cut.
    EXPECT_EQ(TruncateText("  ab   cd", 5), "ab...");
    EXPECT_EQ(TruncateText("a\r\nbcd", 3), "a...");
    // A NUL byte ends the text that can be kept.
    EXPECT_EQ(TruncateText(std::string("ab\0cd", 5), 10), "ab...");
    // A lead byte at the very end is one byte.
    EXPECT_EQ(TruncateText("ab\x83", 3), "ab\x83");
}

TEST(TruncateText, ZeroLimitKeepsTheTextAsItIs)
{
    EXPECT_EQ(TruncateText("  a b \r\n", 0), "  a b \r\n");
    EXPECT_EQ(TruncateText("", 0), "");
}

TEST(TruncateText, FirstLineOnly)
{
    EXPECT_EQ(TruncateText("first line\r\nsecond line", -1), "first line...");
    EXPECT_EQ(TruncateText("  one line  ", -1), "one line");
    EXPECT_EQ(TruncateText("", -1), "");
    EXPECT_EQ(TruncateText("a\nb", -5), "a...");
    EXPECT_EQ(TruncateText("a\rb", -1), "a...");
    // Only blank text after the break: nothing was left out.
    EXPECT_EQ(TruncateText("memo\r\n", -1), "memo");
    EXPECT_EQ(TruncateText("memo\r\n \t\r\n", -1), "memo");
    EXPECT_EQ(TruncateText("\r\nsecond", -1), "...");
    EXPECT_EQ(TruncateText(std::string("a\0b", 3), -1), "a...");
}

TEST(ExtractBetween, Markers)
{
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "[", "]"), "a b");
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "[", ""), "a b]yy");
    EXPECT_EQ(ExtractBetween("xx[a b]yy", "(", "]"), "");
    EXPECT_EQ(ExtractBetween("xx]a[b", "[", "]"), "");
    EXPECT_EQ(ExtractBetween("  whole text \r\n", "", ""), "whole text");
    EXPECT_EQ(ExtractBetween("abc]d", "", "]"), "abc");
    EXPECT_EQ(ExtractBetween("", "", ""), "");
    EXPECT_EQ(ExtractBetween("", "[", "]"), "");
    // The end marker is searched behind the start marker only.
    EXPECT_EQ(ExtractBetween("]x[y]z", "[", "]"), "y");
    // The same text as both markers.
    EXPECT_EQ(ExtractBetween("a|b|c", "|", "|"), "b");
}

TEST(ExtractBetween, MarkersMatchAtCharacterStartsOnly)
{
    // ー is 81 5B, whose trail byte is "[".
    EXPECT_EQ(ExtractBetween(kBar + "[abc]", "[", "]"), "abc");
    EXPECT_EQ(ExtractBetween(kBar + "abc]", "[", "]"), "");
    // ア is 83 41: its trail byte is no "A" marker.
    EXPECT_EQ(ExtractBetween(kA + "xAyB", "A", "B"), "y");
    // A block between the real markers of the defined-field block.
    const std::string mail = "body\r\n--Kalvero->>>!2004/01/31,,,x!<<<--Kalvero-\r\n";
    EXPECT_EQ(ExtractBetween(mail, strconst::BlockStart(), strconst::BlockEnd()), "2004/01/31,,,x");
}
