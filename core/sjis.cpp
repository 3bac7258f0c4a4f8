#include "core/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace sjis {

bool IsCharStart(std::string_view s, std::size_t pos)
{
    if (pos > s.size())
        return false;
    std::size_t i = 0;
    while (i < pos)
        i += CharLen(s, i);
    return i == pos;
}

namespace {

inline unsigned char Fold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

template<bool NoCase>
std::size_t FindImpl(std::string_view text, std::string_view what, std::size_t from)
{
    if (what.empty())
        return from <= text.size() ? from : std::string_view::npos;
    if (what.size() > text.size())
        return std::string_view::npos;
    const std::size_t last = text.size() - what.size();
    // Walk from the start so that from need not be a character start.
    std::size_t i = 0;
    while (i < from && i < text.size())
        i += CharLen(text, i);
    const unsigned char first = NoCase ? Fold(what[0]) : what[0];
    for (; i <= last; i += CharLen(text, i)) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((NoCase ? Fold(c) : c) != first)
            continue;
        bool match = true;
        if (!NoCase) {
            match = text.compare(i, what.size(), what) == 0;
        } else {
            // Fold only ASCII letters at character starts of the pattern.
            for (std::size_t k = 0; k < what.size() && match;) {
                std::size_t len = CharLen(what, k);
                if (len == 1)
                    match = Fold(text[i + k]) == Fold(what[k]);
                else
                    match = text[i + k] == what[k] && text[i + k + 1] == what[k + 1];
                k += len;
            }
        }
        if (match)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

std::size_t Find(std::string_view text, std::string_view what, std::size_t from)
{
    return FindImpl<false>(text, what, from);
}

std::size_t FindNoCase(std::string_view text, std::string_view what, std::size_t from)
{
    return FindImpl<true>(text, what, from);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    // One walk over the characters, matching at character starts as Find
    // does: a Find per match walks from the text's start each time, which
    // costs the text's size times its matches (a field of many quotes).
    std::size_t copied = 0;
    for (std::size_t i = 0; i + from.size() <= text.size();) {
        if (text.compare(i, from.size(), from) != 0) {
            i += CharLen(text, i);
            continue;
        }
        out.append(text.substr(copied, i - copied));
        out.append(to);
        copied = i + from.size();
        while (i < copied)
            i += CharLen(text, i);
    }
    out.append(text.substr(copied));
    return out;
}

bool ParseInteger(std::string_view s, std::int64_t& value)
{
    std::size_t p = 0;
    bool neg = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+'))
        neg = s[p++] == '-';
    bool hex = false;
    if (p < s.size() && s[p] == '$') {
        hex = true;
        ++p;
    } else if (p + 1 < s.size() && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p >= s.size())
        return false;
    std::int64_t v = 0;
    for (; p < s.size(); ++p) {
        const unsigned char c = static_cast<unsigned char>(s[p]);
        const int digit = hex ? HexDigit(c) : c >= '0' && c <= '9' ? c - '0' : -1;
        if (digit < 0)
            return false;
        v = v * (hex ? 16 : 10) + digit;
        if (v > (hex ? 0xFFFFFFFFLL : 0x80000000LL))
            return false;
    }
    if (!hex && !neg && v > 0x7FFFFFFFLL)
        return false;
    value = neg ? -v : v;
    return true;
}

std::string TrimLeft(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    // A byte of 0..32 is never a trail byte, so cutting from the end is safe.
    std::size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(b, e - b));
}

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += CharLen(out, i)) {
        char& c = out[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return out;
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += CharLen(out, i)) {
        char& c = out[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const std::string la = LowerAscii(a), lb = LowerAscii(b);
    int r = la.compare(lb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

std::vector<std::string> ReadCommaText(std::string_view text, std::size_t maxItems)
{
    std::vector<std::string> items;
    if (maxItems == 0)
        return items;
    ForEachCommaItem(text, [&](std::string& item) {
        items.push_back(std::move(item));
        return items.size() < maxItems;
    });
    return items;
}

void ForEachCommaItem(std::string_view text, const std::function<bool(std::string& item)>& fn)
{
    const std::size_t n = text.size();
    // A NUL byte counts as a separator, so that no input can stall the reader.
    auto isSep = [](unsigned char c) { return c <= 32; };
    std::size_t p = 0;
    while (p < n && isSep(text[p]))
        ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                std::size_t len = CharLen(text, p);
                item.append(text.substr(p, len));
                p += len;
            }
        } else {
            std::size_t b = p;
            while (p < n) {
                unsigned char c = text[p];
                if (c <= 32 || c == ',')
                    break;
                p += CharLen(text, p);
            }
            item.assign(text.substr(b, p - b));
        }
        if (!fn(item))
            return;
        while (p < n && isSep(text[p]))
            ++p;
        if (p < n && text[p] == ',') {
            ++p;
            while (p < n && isSep(text[p]))
                ++p;
        }
    }
}

std::string QuoteCommaItem(std::string_view item)
{
    bool quote = false;
    for (unsigned char c : item) {
        if ((c >= 1 && c <= 32) || c == ',' || c == '"') {
            quote = true;
            break;
        }
    }
    if (!quote)
        return std::string(item);
    std::string out = "\"";
    for (char c : item) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string WriteCommaText(const std::vector<std::string>& items)
{
    // A single empty item is written as "" so that it reads back as one item.
    if (items.size() == 1 && items[0].empty())
        return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out.push_back(',');
        out += QuoteCommaItem(items[i]);
    }
    return out;
}

std::string ToCrLf(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 32);
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view s)
{
    std::vector<std::string> lines;
    std::size_t b = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.emplace_back(s.substr(b, i - b));
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            b = i + 1;
        }
    }
    if (b < s.size())
        lines.emplace_back(s.substr(b));
    return lines;
}

namespace {

// iconv descriptors are not thread-safe; the converter serialises its use.
struct Converter
{
    iconv_t cd;
    std::mutex lock;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) { }
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

Converter& ToUtf8Converter()
{
    static Converter c("UTF-8", "CP932");
    return c;
}

Converter& FromUtf8Converter()
{
    static Converter c("CP932", "UTF-8");
    return c;
}

// Length of the UTF-8 sequence starting with c; 1 for an invalid lead byte.
std::size_t Utf8Len(unsigned char c)
{
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0)
        return 2;
    if ((c & 0xF0) == 0xE0)
        return 3;
    if ((c & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Converts with iconv; on a byte sequence that does not convert, writes "?"
// and skips one source character (as stepped by skipLen).
template<typename SkipLen>
std::string Convert(Converter& conv, std::string_view in, SkipLen skipLen)
{
    std::string out;
    if (in.empty())
        return out;
    if (conv.cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter at all: keep ASCII, mark the rest.
        for (unsigned char c : in)
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    std::lock_guard<std::mutex> guard(conv.lock);
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        std::size_t r = iconv(conv.cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: replace one source character by "?".
        std::size_t skip = skipLen(std::string_view(src, srcLeft));
        if (skip == 0 || skip > srcLeft)
            skip = srcLeft;
        src += skip;
        srcLeft -= skip;
        if (out.size() - used < 8)
            out.resize(out.size() * 2);
        out[used++] = '?';
        iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

} // namespace

std::string ToUtf8(std::string_view sjisText)
{
    return Convert(ToUtf8Converter(), sjisText,
                   [](std::string_view rest) { return CharLen(rest, 0); });
}

std::string FromUtf8(std::string_view utf8Text)
{
    // U+301C WAVE DASH is what Linux programs type for the wave dash; CP932
    // writes it as 0x8160 like U+FF5E.
    static const std::string waveDash = "\xE3\x80\x9C";
    std::string text(utf8Text);
    for (std::size_t p = text.find(waveDash); p != std::string::npos;
         p = text.find(waveDash, p + 3))
        text.replace(p, 3, "\xEF\xBD\x9E");
    // A sequence cut short costs only its own bytes, never the character
    // after it (a line end, a quote).
    return Convert(FromUtf8Converter(), text, [](std::string_view rest) {
        const std::size_t len = std::min(Utf8Len(static_cast<unsigned char>(rest[0])), rest.size());
        std::size_t n = 1;
        while (n < len && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80)
            ++n;
        return n;
    });
}

std::string FromCodePoint(char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return "?";
    std::string u;
    if (cp < 0x80) {
        u.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        u.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        u.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        u.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        u.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        u.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        u.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        u.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        u.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        u.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return FromUtf8(u);
}

} // namespace sjis
