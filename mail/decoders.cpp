#include "mail/decoders.h"

#include "core/sjis.h"

#include <array>
#include <cstring>

namespace {

constexpr unsigned char kEsc = 0x1B;

inline void AppendSjis(std::string& out, unsigned char j1, unsigned char j2)
{
    const std::uint16_t s = JisToSjis(j1, j2);
    out.push_back(static_cast<char>(s >> 8));
    out.push_back(static_cast<char>(s & 0xFF));
}

// Index of a byte in the base64 alphabet, -1 for anything else.
constexpr std::array<signed char, 256> MakeBase64Table()
{
    std::array<signed char, 256> t {};
    for (auto& v : t)
        v = -1;
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    return t;
}
constexpr std::array<signed char, 256> kBase64 = MakeBase64Table();

enum class WordCharset { Iso2022Jp, EucJp, Utf8, AsIs };

// The charset and the encoding ('B' or 'Q') a prefix "=?charset?X?" names.
struct WordKind
{
    WordCharset charset = WordCharset::AsIs;
    bool quoted = false;
};

WordKind KindOf(std::string_view prefix)
{
    WordKind kind;
    const std::string_view charset = prefix.substr(2, prefix.size() - 5);
    if (sjis::EqualsNoCase(charset, "ISO-2022-JP"))
        kind.charset = WordCharset::Iso2022Jp;
    else if (sjis::EqualsNoCase(charset, "EUC-JP"))
        kind.charset = WordCharset::EucJp;
    else if (sjis::EqualsNoCase(charset, "UTF-8"))
        kind.charset = WordCharset::Utf8;
    kind.quoted = (prefix[prefix.size() - 2] | 0x20) == 'q';
    return kind;
}

// Converts the bytes of one encoded word. Control bytes become blanks: a
// decoded word must not be able to start a header line of its own.
void AppendWord(std::string& out, const std::string& bytes, WordCharset charset)
{
    const std::size_t from = out.size();
    switch (charset) {
    case WordCharset::Iso2022Jp:
        out += Iso2022JpToSjis(bytes);
        break;
    case WordCharset::EucJp:
        out += EucJpToSjis(bytes);
        break;
    case WordCharset::Utf8:
        out += sjis::FromUtf8(bytes);
        break;
    case WordCharset::AsIs:
        out += bytes;
        break;
    }
    for (std::size_t i = from; i < out.size(); ++i) {
        if (static_cast<unsigned char>(out[i]) < 0x20)
            out[i] = ' ';
    }
}

// The bytes of a base64 word starting at i; i moves past its end. False
// when the word is broken (a CR or "?" inside a group, or the text ends).
bool ReadBase64Word(std::string_view rest, std::size_t& i, std::string& bytes)
{
    const std::size_t n = rest.size();
    for (;;) {
        if (n - i < 4)
            return false;
        std::uint32_t acc = 0;
        for (int k = 0; k < 4; ++k) {
            const unsigned char c = rest[i + k];
            if (c == '\r' || c == '?')
                return false;
            const int v = c < 0x80 ? kBase64[c] : -1;
            acc = (acc << 6) | static_cast<std::uint32_t>(v < 0 ? 0 : v);
        }
        const char group[3] = { static_cast<char>(acc >> 16), static_cast<char>((acc >> 8) & 0xFF),
                                static_cast<char>(acc & 0xFF) };
        for (char b : group) {
            if (b == 0)
                break;
            bytes.push_back(b);
        }
        i += 4;
        if (n - i >= 2 &&
            ((rest[i] == '?' && rest[i + 1] == '=') || (rest[i] == '\r' && rest[i + 1] == '\n'))) {
            i += 2;
            return true;
        }
    }
}

// The bytes of a "Q" word starting at i, up to its "?="; "_" stands for a
// blank and "=XX" for a byte. A word holds no blank, line end or other "?",
// so one that meets any of them is broken (and no search runs past the next
// word's start).
bool ReadQuotedWord(std::string_view rest, std::size_t& i, std::string& bytes)
{
    const std::size_t n = rest.size();
    while (i < n) {
        const char c = rest[i];
        if (c == '?') {
            const bool end = i + 1 < n && rest[i + 1] == '=';
            i += end ? 2 : 0;
            return end;
        }
        if (static_cast<unsigned char>(c) <= 0x20)
            return false;
        const int hi = c == '=' && n - i >= 3 ? sjis::HexDigit(rest[i + 1]) : -1;
        const int lo = hi >= 0 ? sjis::HexDigit(rest[i + 2]) : -1;
        if (lo >= 0) {
            bytes.push_back(static_cast<char>(hi * 16 + lo));
            i += 3;
        } else {
            bytes.push_back(c == '_' ? ' ' : c);
            ++i;
        }
    }
    return false;
}

// Decodes the encoded words of text that start with one of prefixes (each
// "=?charset?B?" or "=?charset?Q?", matched without regard to case), in
// one pass: decoded text is never read again as words.
std::string DecodeWords(std::string_view text, const std::string_view* prefixes,
                        std::size_t prefixCount)
{
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    std::size_t at = 0;
    // "=" is below every trail byte, so each one found starts a character.
    while (const void* hit = std::memchr(text.data() + at, '=', text.size() - at)) {
        const std::size_t p = static_cast<const char*>(hit) - text.data();
        at = p + 1;
        const std::string_view* prefix = prefixes;
        const std::string_view* const end = prefixes + prefixCount;
        while (prefix != end &&
               !(text.size() - p >= prefix->size() &&
                 sjis::EqualsNoCase(text.substr(p, prefix->size()), *prefix)))
            ++prefix;
        if (prefix == end)
            continue;
        const WordKind kind = KindOf(*prefix);
        std::size_t i = p + prefix->size();
        std::string bytes;
        const bool complete =
            kind.quoted ? ReadQuotedWord(text, i, bytes) : ReadBase64Word(text, i, bytes);
        // One broken word does not undo the others: it stays as it is and
        // the search goes on behind its prefix.
        if (!complete) {
            at = p + prefix->size();
            continue;
        }
        out.append(text.substr(copied, p - copied));
        AppendWord(out, bytes, kind.charset);
        copied = at = i;
    }
    out.append(text.substr(copied));
    return out;
}

constexpr std::string_view kWordPrefixes[] = {
    "=?ISO-2022-JP?B?", "=?EUC-JP?B?", "=?SHIFT_JIS?B?", "=?UTF-8?B?",
    "=?ISO-2022-JP?Q?", "=?EUC-JP?Q?", "=?SHIFT_JIS?Q?", "=?UTF-8?Q?",
};

} // namespace

std::uint16_t JisToSjis(unsigned char j1, unsigned char j2)
{
    j1 &= 0x7F;
    j2 &= 0x7F;
    unsigned s1 = ((j1 + 1u) >> 1) + (j1 <= 0x5E ? 0x70u : 0xB0u);
    unsigned s2;
    if (j1 & 1)
        s2 = j2 <= 0x5F ? j2 + 0x1Fu : j2 + 0x20u;
    else
        s2 = j2 + 0x7Eu;
    return static_cast<std::uint16_t>((s1 << 8) | s2);
}

std::string Iso2022JpToSjis(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    bool doubleByte = false;
    while (i < n) {
        if (!doubleByte) {
            // Copy the single-byte run up to the next escape in one go.
            const void* hit = std::memchr(text.data() + i, kEsc, n - i);
            std::size_t e = hit ? static_cast<const char*>(hit) - text.data() : n;
            out.append(text.substr(i, e - i));
            i = e;
            if (i >= n)
                break;
        }
        const unsigned char c = text[i];
        if (c == kEsc) {
            if (n - i < 3)
                break;
            const unsigned char a = text[i + 1], b = text[i + 2];
            if (a == 0x24 && (b == 0x42 || b == 0x40))
                doubleByte = true;
            else if (a == 0x28 && (b == 0x4A || b == 0x42))
                doubleByte = false;
            i += 3;
            continue;
        }
        if (n - i < 2)
            break;
        AppendSjis(out, c, text[i + 1]);
        i += 2;
    }
    return out;
}

std::string EucJpToSjis(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (n - i < 2)
            break;
        if (c == 0x8E)
            out.push_back(text[i + 1]);
        else
            AppendSjis(out, c, text[i + 1]);
        i += 2;
    }
    return out;
}

std::string DecodeBase64(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t acc = 0;
    int count = 0;
    for (unsigned char c : text) {
        // Bytes of 0x80 and above are outside the 128-entry alphabet table.
        const int v = c < 0x80 ? kBase64[c] : -1;
        if (v < 0)
            continue;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        if (++count == 4) {
            out.push_back(static_cast<char>(acc >> 16));
            out.push_back(static_cast<char>((acc >> 8) & 0xFF));
            out.push_back(static_cast<char>(acc & 0xFF));
            acc = 0;
            count = 0;
        }
    }
    if (count == 3) {
        out.push_back(static_cast<char>(acc >> 10));
        out.push_back(static_cast<char>((acc >> 2) & 0xFF));
    } else if (count == 2) {
        out.push_back(static_cast<char>(acc >> 4));
    }
    return out;
}

std::string DecodeQuotedPrintable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const void* hit = std::memchr(text.data() + i, '=', n - i);
        const std::size_t e = hit ? static_cast<const char*>(hit) - text.data() : n;
        out.append(text.substr(i, e - i));
        if (e >= n)
            break;
        // "=" takes itself and the next two bytes, but never more than is left.
        if (n - e >= 3) {
            const int hi = sjis::HexDigit(text[e + 1]), lo = sjis::HexDigit(text[e + 2]);
            if (hi >= 0 && lo >= 0)
                out.push_back(static_cast<char>(hi * 16 + lo));
            i = e + 3;
        } else {
            i = n;
        }
    }
    return out;
}

std::string DecodeEncodedWords(std::string_view text, std::string_view prefix)
{
    if (prefix.size() < 5 || prefix.substr(0, 2) != "=?" || prefix.back() != '?' ||
        prefix[prefix.size() - 3] != '?')
        return std::string(text);
    return DecodeWords(text, &prefix, 1);
}

std::string DecodeMimeHeader(std::string_view header)
{
    return DecodeWords(header, kWordPrefixes, std::size(kWordPrefixes));
}

std::string GetHeaderParam(std::string_view value, std::string_view name)
{
    if (name.empty())
        return {};
    std::size_t base = 0; // offset of rest within value
    std::string_view rest = value;
    for (;;) {
        const std::size_t hit = sjis::FindNoCase(rest, name);
        if (hit == std::string_view::npos)
            return {};
        const std::size_t p = base + hit;
        const auto next = [&] {
            base = p + 1;
            rest = value.substr(base);
        };
        if (p > 0) {
            const char before = value[p - 1];
            if (before != ';' && before != ' ' && before != '\t') {
                next();
                continue;
            }
        }
        std::size_t i = p + name.size();
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
        if (i >= value.size() || value[i] != '=') {
            next();
            continue;
        }
        ++i;
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
        if (i >= value.size())
            return {};
        const char q = value[i];
        if (q == '"' || q == '\'') {
            const std::size_t close = value.find(q, i + 1);
            if (close == std::string_view::npos)
                return {};
            return std::string(value.substr(i + 1, close - i - 1));
        }
        std::size_t e = i;
        while (e < value.size() && value[e] != ';' && value[e] != ' ' && value[e] != '\t' &&
               value[e] != '\r' && value[e] != '\n')
            ++e;
        return std::string(value.substr(i, e - i));
    }
}
