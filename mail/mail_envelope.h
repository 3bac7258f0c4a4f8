#pragma once

// One Internet mail, given as the host hands it over (the host has already
// turned ISO-2022-JP into Shift_JIS; other bytes, UTF-8 ones included, come
// as the mail holds them): header and body, MIME parts, transfer and
// character-set decoding, the readable text of the whole mail, the link key
// that ties an item to its mail, the priority and the defined-field block.
// Created per use; nothing here throws on any input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TMailEnvelope
{
public:
    // ContentKind values.
    enum : unsigned char {
        ckNone = 0, // no Content-Type header
        ckPlain = 1, // text/plain
        ckMultipart = 2, // multipart other than alternative
        ckAlternative = 3, // multipart/alternative
        ckMessage = 4, // message/rfc822
        ckHtml = 5, // text/html
        ckOther = 6,
    };

    // Parses a mail. Bare LF and bare CR become CR LF and NUL bytes are
    // dropped first.
    void SetSource(std::string_view text);

    unsigned char ContentKind() const { return contentKind_; }
    bool IncludeAttachments() const { return includeAttachments_; }
    // On: GetText expands nested multiparts and forwarded messages.
    void SetIncludeAttachments(bool on) { includeAttachments_ = on; }

    int PartCount() const { return static_cast<int>(parts_.size()); }
    // A part's text from its own header on, trimmed; empty outside the range.
    std::string GetPart(int index) const;
    // The same, without a copy (valid until the next SetSource).
    std::string_view PartText(int index) const;

    // The rest of the first header line that starts with name (which includes
    // the colon, "Subject:"), without regard to case, trimmed; empty if none.
    std::string GetHeader(std::string_view name) const;
    // True when the header's value in lower case equals value.
    bool HeaderIs(std::string_view name, std::string_view value) const;

    // The decoded header block (folded lines joined, encoded words decoded).
    const std::string& Header() const { return header_; }
    const std::string& Source() const { return source_; }

    // The body, transfer-decoded and converted to Shift_JIS from the charset
    // of its Content-Type (ISO-2022-JP, EUC-JP, UTF-8; the name in any case).
    std::string GetBody() const;
    // The body with "#" at line starts escaped, runs of blank lines cut to one,
    // trimmed, with CR LF appended (an empty body stays empty).
    std::string GetPlainText() const;
    // The body as HTML turned into text.
    std::string GetHTMLText() const;
    // Readable text of the whole mail with its parts.
    std::string GetText() const;
    // The text between the two markers in a text/plain body (ExtractBetween);
    // empty for any other kind, a mail without Content-Type included.
    std::string GetDefinedText(std::string_view startMarker, std::string_view endMarker) const;
    // Message-ID, ",", and the date value in lower-case hexadecimal; the
    // Message-ID alone when the date is missing or malformed; empty without a
    // Message-ID.
    std::string GetMailKey() const;
    // X-Priority 1, 2, 3 give 3, 2, 1; anything else 0.
    int GetPriority() const;
    // The Date header as seconds since 1970-01-01 00:00 UTC, wrapped to 32
    // bits; 0 when the date is malformed or impossible.
    std::int32_t GetDateValue() const;

private:
    std::string DecodedBody(bool* transferDecoded) const;

    std::vector<std::pair<std::size_t, std::size_t>> parts_; // offset, length in source_
    std::string source_;
    std::string header_;
    std::size_t bodyStart_ = 0;
    unsigned char contentKind_ = ckNone;
    bool includeAttachments_ = false;
};

// Readable text of a mail: its own text and, part by part, that of its parts;
// with expand, nested multiparts and forwarded messages too, each under an
// attachment heading. Nesting deeper than 32 levels is left out.
std::string BuildMailText(const TMailEnvelope& envelope, bool expand);

// The seconds value of a Date header value ("Mon, 8 Dec 2025 10:20:30 +0900");
// 0 when it is malformed or names an impossible date.
std::int32_t ParseMailDate(std::string_view value);
// The same, false (result untouched) for a malformed or impossible date.
bool TryParseMailDate(std::string_view value, std::int32_t& result);

// The Message-ID as it may stand in a link key: double quotes become single
// ones, control bytes are dropped, the link field separator "\:\" cannot
// occur, and it holds at most 998 bytes.
std::string CleanMessageId(std::string_view id);
