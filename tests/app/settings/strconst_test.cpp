#include "app/settings/consts.h"
#include "app/settings/strutils.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Bytes from a hex dump, so that expectations come from a CP932 table rather
// than from the converter under test.
std::string Hex(const char* dump)
{
    std::istringstream in(dump);
    std::string out;
    unsigned v;
    while (in >> std::hex >> v)
        out.push_back(static_cast<char>(v));
    return out;
}

const std::string kKanji = Hex("8A BF"); // 漢

} // namespace

TEST(StrConst, TextsHaveTheirShiftJisBytes)
{
    using namespace strconst;
    EXPECT_EQ(PluginProductName(), "Miradel" + Hex("83 76 83 89 83 4F 83 43 83 93"));
    EXPECT_EQ(ProgramProductName(), "Miradel-" + Hex("83 41 83 76 83 8A 94 C5"));
    EXPECT_EQ(Description(),
              "Becky2 " +
                  Hex("82 C5 8A C8 92 50 82 C8 83 58 83 50 83 57 83 85 81 5B 83 8B 8A C7 "
                      "97 9D 82 AA 82 C5 82 AB 82 E9 83 76 83 89 83 4F 83 43 83 93 82 C5 "
                      "82 B7 81 42"));
    // Half-width katakana are single bytes; the line break is one LF.
    EXPECT_EQ(FileWriteError(),
              Hex("CC A7 B2 D9 82 C9 8F 91 8D 9E 82 DF 82 DC 82 B9 82 F1 82 C5 "
                  "82 B5 82 BD 0A 8F 88 97 9D 82 F0 BD B7 AF CC DF 82 B5 82 DC "
                  "82 B7"));
    const std::string password = Hex("83 70 83 58 83 8F 81 5B 83 68");
    EXPECT_EQ(WrongPassword(), password + Hex("82 AA 88 E1 82 A2 82 DC 82 B7"));
    EXPECT_EQ(EnterPassword(), password + Hex("82 F0 93 FC 97 CD 82 B5 82 C4 89 BA 82 B3 82 A2"));
    EXPECT_EQ(RemovePassword(),
              password + Hex("82 F0 89 F0 8F 9C 82 B5 82 C4 82 A2 82 A2 82 C5 82 B7 82 A9 81 48"));
    EXPECT_EQ(Version() + DateFormat() + SubjectHeader() + MailtoPrefix() + ActiveSignal(),
              std::string(kVersion) + "yyyy\"/\"mm\"/\"ddSubject:mailto:ACTIVE");
    EXPECT_EQ(BlockStart() + BlockEnd(), "\r\n--Kalvero->>>!!<<<--Kalvero-");

    EXPECT_EQ(ProductName(), PluginProductName());
    SetBuild(Build::Program);
    EXPECT_EQ(ProductName(), ProgramProductName());
    SetBuild(Build::Plugin);
}

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
    EXPECT_EQ(ExtractBetween(mail, strconst::BlockStart(), strconst::BlockEnd()), "2004/01/31,,,x");
}
