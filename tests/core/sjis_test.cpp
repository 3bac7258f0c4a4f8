#include "core/sjis.h"

#include <gtest/gtest.h>

using namespace sjis;

// "ア" is 83 41: its trail byte is the ASCII letter "A".
static const std::string kA = "\x83\x41";
// "ソ" is 83 5C: its trail byte is a backslash.
static const std::string kSo = "\x83\x5C";

TEST(Sjis, SearchNeverMatchesATrailByte)
{
    EXPECT_EQ(Find(kA, "A"), std::string::npos);
    EXPECT_EQ(Find(kA + "A", "A"), 2u);
    EXPECT_EQ(Find(kSo + "\\", "\\"), 2u);
    EXPECT_EQ(FindNoCase(kA + "a", "A"), 2u);
    EXPECT_EQ(FindNoCase("xABc", "abC"), 1u);
    EXPECT_EQ(Find("abc", ""), 0u);
    EXPECT_EQ(Find("", "a"), std::string::npos);
    // A start position in the middle of a character is moved to the next one.
    EXPECT_EQ(Find(kA + kA, kA, 1), 2u);
    EXPECT_EQ(ReplaceAll(kSo + "\\x\\", "\\", "/"), kSo + "/x/");
    // A text of nothing but matches (a name of quotes in the phone book) is
    // replaced in one pass, not searched afresh from its start per match.
    const std::string quotes(1 << 22, '"');
    EXPECT_EQ(ReplaceAll(quotes, "\"", "\"\""), quotes + quotes);
}

TEST(Sjis, CaseFoldingTouchesAsciiLettersAtCharacterStartsOnly)
{
    EXPECT_EQ(LowerAscii("ABC" + kA), "abc" + kA);
    EXPECT_EQ(UpperAscii("abc\x83\x61"), "ABC\x83\x61");
    EXPECT_TRUE(EqualsNoCase("Boss@Example.COM", "boss@example.com"));
    EXPECT_FALSE(EqualsNoCase(kA, "\x83\x61"));
}

TEST(Sjis, TrimRemovesControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim(" \t\r\nab c\r\n "), "ab c");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    // A full-width blank (81 40) is not trimmed.
    EXPECT_EQ(Trim("\x81\x40"
                   "a"),
              "\x81\x40"
              "a");
}

TEST(Sjis, CommaTextReadingRules)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(ReadCommaText("a,b,c"), (V { "a", "b", "c" }));
    EXPECT_EQ(ReadCommaText("a,,b"), (V { "a", "", "b" }));
    EXPECT_EQ(ReadCommaText("a,b,"), (V { "a", "b" }));
    EXPECT_EQ(ReadCommaText("a,b,,"), (V { "a", "b", "" }));
    EXPECT_EQ(ReadCommaText("  a b"), (V { "a", "b" }));
    EXPECT_EQ(ReadCommaText("\"a b\",\"c\"\"d\""), (V { "a b", "c\"d" }));
    EXPECT_EQ(ReadCommaText("\"unclosed, text"), (V { "unclosed, text" }));
    EXPECT_EQ(ReadCommaText("x , y"), (V { "x", "y" }));
    EXPECT_EQ(ReadCommaText("\"a\"b,c"), (V { "a", "b", "c" }));
    EXPECT_EQ(ReadCommaText(""), V {});
    EXPECT_EQ(ReadCommaText(","), (V { "" }));
    EXPECT_EQ(ReadCommaText("\"\""), (V { "" }));
    EXPECT_EQ(ReadCommaText("\"line1\r\nline2\",z"), (V { "line1\r\nline2", "z" }));
    // Double-byte characters whose trail byte is a backslash or a letter.
    EXPECT_EQ(ReadCommaText(kSo + "," + kA), (V { kSo, kA }));
    // A NUL byte separates like a blank and never stalls the reader.
    EXPECT_EQ(ReadCommaText(std::string("a\0b", 3)), (V { "a", "b" }));
}

TEST(Sjis, CommaTextRoundTrip)
{
    using V = std::vector<std::string>;
    const V items { "plain", "with blank", "com,ma", "quo\"te", "", kA + kSo, "tab\there" };
    EXPECT_EQ(WriteCommaText(items),
              "plain,\"with blank\",\"com,ma\",\"quo\"\"te\",," + kA + kSo + ",\"tab\there\"");
    EXPECT_EQ(ReadCommaText(WriteCommaText(items)), items);
    EXPECT_EQ(ReadCommaText(WriteCommaText(V { "" })), V { "" });
    EXPECT_EQ(WriteCommaText(V {}), "");
}

TEST(Sjis, LineEnds)
{
    EXPECT_EQ(ToCrLf("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(ToCrLf("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string> { "a", "b", "c", "d" }));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string> { "a", "", "b" }));
}

TEST(Sjis, Cp932Conversion)
{
    // 予定 (97 5C 92 E8): a trail byte that is a backslash.
    EXPECT_EQ(ToUtf8("\x97\x5C\x92\xE8"), "予定");
    EXPECT_EQ(FromUtf8("予定"), "\x97\x5C\x92\xE8");
    // Half-width katakana and NEC special characters.
    EXPECT_EQ(ToUtf8("\xB1"), "ｱ");
    EXPECT_EQ(ToUtf8("\x87\x40"), "①");
    EXPECT_EQ(FromUtf8("①"), "\x87\x40");
    // Both wave dashes become 81 60.
    EXPECT_EQ(FromUtf8("\xE3\x80\x9C"), "\x81\x60");
    EXPECT_EQ(FromUtf8("\xEF\xBD\x9E"), "\x81\x60");
    // What cannot be converted becomes "?" and the rest goes on.
    EXPECT_EQ(FromUtf8("a😀b"), "a?b");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              "a?b");
    EXPECT_EQ(ToUtf8("a\x85\x40"
                     "b"),
              "a?b");
    EXPECT_EQ(ToUtf8("ab\x81"), "ab?");
    EXPECT_EQ(FromCodePoint(0x3042), "\x82\xA0");
    EXPECT_EQ(FromCodePoint(0x1F600), "?");
    EXPECT_EQ(FromCodePoint(0xD800), "?");
}

namespace {

// Walks the text by the lead-byte rule, as every core helper does.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> out;
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const std::size_t len = lead && pos + 1 < text.size() ? 2 : 1;
        out.push_back(text.substr(pos, len));
        pos += len;
    }
    return out;
}

// Code points of well-formed UTF-8; an empty result for anything else.
std::vector<char32_t> CodePoints(const std::string& utf8)
{
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[pos]);
        const std::size_t len = c < 0x80 ? 1
            : (c & 0xE0) == 0xC0         ? 2
            : (c & 0xF0) == 0xE0         ? 3
            : (c & 0xF8) == 0xF0         ? 4
                                         : 0;
        if (len == 0 || pos + len > utf8.size())
            return {};
        char32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
        for (std::size_t i = 1; i < len; ++i) {
            const unsigned char t = static_cast<unsigned char>(utf8[pos + i]);
            if ((t & 0xC0) != 0x80)
                return {};
            cp = cp << 6 | (t & 0x3F);
        }
        out.push_back(cp);
        pos += len;
    }
    return out;
}

} // namespace

TEST(Sjis, RandomBytesConvertCharacterForCharacter)
{
    // Each character of the source (as the lead-byte rule steps) becomes one
    // code point of well-formed UTF-8, and the way back gives either a
    // character that reads as the same code point or "?" where there was
    // nothing to read.
    std::uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        const int len = round % 37;
        for (int i = 0; i < len; ++i) {
            seed = seed * 1103515245u + 12345u;
            s.push_back(static_cast<char>(seed >> 16));
        }
        const std::vector<std::string> source = Characters(s);
        const std::string utf8 = ToUtf8(s);
        const std::vector<char32_t> points = CodePoints(utf8);
        ASSERT_EQ(points.size(), source.size()) << round;
        const std::vector<std::string> back = Characters(FromUtf8(utf8));
        ASSERT_EQ(back.size(), source.size()) << round;
        for (std::size_t i = 0; i < source.size(); ++i) {
            if (points[i] == U'?' && source[i] != "?")
                EXPECT_EQ(back[i], "?") << round;
            else
                EXPECT_EQ(ToUtf8(back[i]), ToUtf8(source[i])) << round;
        }
    }
}

TEST(Sjis, SourceLiteralsBecomeShiftJis)
{
    // Byte values from the JIS X 0208 code table.
    EXPECT_EQ(SJ("予定"), "\x97\x5C\x92\xE8");
    EXPECT_EQ(SJ("スケジュールが書き込めません!"),
              "\x83\x58\x83\x50\x83\x57\x83\x85\x81\x5B\x83\x8B\x82\xAA\x8F\x91\x82\xAB"
              "\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1!");
    EXPECT_EQ(SJ("～"), "\x81\x60");
}
