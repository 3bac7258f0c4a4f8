#pragma once

// HTML mail bodies to plain text for an item's memo: block tags end lines,
// table cells become comma-separated fields, scripts, styles, titles and
// selection lists vanish, white space collapses, entities are decoded and
// blank lines removed. Input and output are Shift_JIS.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// One row of the fixed tag table: upper-case tag names, each between colons,
// and what their opening and closing tags do (only the low seven bits count).
struct TTagTable
{
    const char* Tags;
    unsigned char OpenAction;
    unsigned char CloseAction;
};

class THTMLParser
{
public:
    enum TokenKindValue : unsigned char {
        tkEnd = 0,
        tkText = 1,
        tkLineBreak = 2,
        tkTag = 3,
    };

    // Normalises line ends to CR LF, decodes "=XX" and drops soft line breaks
    // (unless decodeQuotedPrintable is false: a body that was already
    // transfer-decoded must not be decoded twice), trims, and reads the first
    // token.
    void SetSource(std::string_view text, bool decodeQuotedPrintable = true);

    // The whole text, starting with the current token.
    std::string GetText();

    // Reads the token at the read position and moves past it.
    void NextToken();
    // True when the current token is a tag whose text is one of names (without
    // regard to case) or starts with one of them followed by a blank.
    bool IsTag(std::initializer_list<std::string_view> names) const;

    unsigned char TokenKind() const { return tokenKind_; }
    const std::string& TokenText() const { return tokenText_; }
    bool Preformatted() const { return pre_; }

private:
    struct ScannedTag
    {
        std::size_t textEnd; // end of the tag text
        std::size_t next; // first byte after the tag
        bool reachedEnd; // the tag ran to the end of the source
    };
    ScannedTag ScanTag(std::size_t from);

    std::string source_;
    unsigned char tokenKind_ = tkEnd;
    std::string tokenText_;
    bool pre_ = false;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
    // Where the next "-->" is, so that many comments cost one search.
    std::size_t commentEnd_ = 0;
    bool commentEndKnown_ = false;
};

// Named entities (&amp; first, then &lt; &gt; &quot; &nbsp;, without regard to
// case) and decimal references of up to seven digits, converted to Shift_JIS
// ("?" when there is none; references to 0 and 13 vanish). A malformed
// reference stays as it is.
std::string DecodeEntities(std::string_view line);

// The tag table rows, the last one empty.
extern const TTagTable kTagTable[10];
