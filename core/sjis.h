#pragma once

// Shift_JIS (code page 932) text helpers. All text in the core is kept as the
// files hold it: Shift_JIS bytes in std::string. Every helper steps by
// characters, so a trail byte never matches an ASCII character and no
// character is ever split.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sjis {

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character starting at pos (1 or 2; a lead byte at the
// very end counts as one byte).
inline std::size_t CharLen(std::string_view s, std::size_t pos)
{
    if (pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos])))
        return 2;
    return 1;
}

// True when pos is the start of a character (scanning from the beginning).
bool IsCharStart(std::string_view s, std::size_t pos);

// Character-aware search: a match must start at a character start.
std::size_t Find(std::string_view text, std::string_view what, std::size_t from = 0);
// Same, comparing ASCII letters without regard to case.
std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from = 0);
inline bool Contains(std::string_view text, std::string_view what)
{
    return Find(text, what) != std::string_view::npos;
}

// Replaces every character-aligned occurrence of from by to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Removes bytes of value 0..32 at both ends (the class library's Trim).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// The value of an ASCII hexadecimal digit (either case); -1 for any other byte.
constexpr int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// An integer as the class library's conversion reads it: optional sign, then
// decimal digits (the 32-bit range), or "$"/"0x" and a hexadecimal value of
// up to 32 bits, negated after a "-".
bool ParseInteger(std::string_view text, std::int64_t& value);

// Folds ASCII letters at character starts; double-byte characters are untouched.
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);

// Comma text, reading side: control characters and blanks outside quotes
// separate items, an empty item between two commas counts, one comma at the
// very end adds none, a quoted item runs to the next undoubled quote.
// Reading stops after maxItems items, so that a reader that uses only the
// first few never holds a huge line's every item.
std::vector<std::string> ReadCommaText(std::string_view text,
                                       std::size_t maxItems = static_cast<std::size_t>(-1));
// The same, one item at a time: fn gets each item in order and answers
// whether to go on.
void ForEachCommaItem(std::string_view text, const std::function<bool(std::string& item)>& fn);
// Comma text, writing side: an item is quoted when it holds a byte of 1..32,
// a comma or a double quote; inner quotes are doubled.
std::string WriteCommaText(const std::vector<std::string>& items);
std::string QuoteCommaItem(std::string_view item);

// Turns bare LF and bare CR into CR LF; CR LF stays.
std::string ToCrLf(std::string_view s);
// Splits text into lines at CR LF, LF or CR (no line ends kept). A final line
// end does not add an empty line.
std::vector<std::string> SplitLines(std::string_view s);

// The one CP932 <-> UTF-8 converter. What cannot be converted becomes "?";
// it never fails a whole text and never throws.
std::string ToUtf8(std::string_view sjisText);
std::string FromUtf8(std::string_view utf8Text);
// A single Unicode code point to Shift_JIS; "?" when CP932 cannot hold it.
std::string FromCodePoint(char32_t cp);

} // namespace sjis

// A Shift_JIS text from a UTF-8 literal in the source, converted once per use
// site: SJ("予定").
#define SJ(utf8Literal)                                                                            \
    ([]() -> const std::string& {                                                                  \
        static const std::string converted = ::sjis::FromUtf8(utf8Literal);                        \
        return converted;                                                                          \
    }())
