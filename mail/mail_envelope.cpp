#include "mail/mail_envelope.h"

#include "core/days.h"
#include "core/sjis.h"
#include "core/strutils.h"
#include "mail/decoders.h"
#include "mail/html_parser.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Deeper nesting than this is left out of a mail's text, so that no mail can
// exhaust the stack or make the work grow with the square of its size.
constexpr int kMaxLevels = 32;

// Day number of 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25569;

inline unsigned char U(char c)
{
    return static_cast<unsigned char>(c);
}

// Byte search that stays linear for any needle (the two-way algorithm).
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from = 0)
{
    if (from > hay.size())
        return std::string_view::npos;
    if (needle.empty())
        return from;
    const void* hit = memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
    return hit ? static_cast<const char*>(hit) - hay.data() : std::string_view::npos;
}

constexpr std::array<bool, 256> MakeLineEndTable()
{
    std::array<bool, 256> t {};
    t['\r'] = t['\n'] = t['\0'] = true;
    return t;
}
constexpr std::array<bool, 256> kNeedsLook = MakeLineEndTable();

// Bare LF and bare CR become CR LF; NUL bytes are dropped.
bool IsNormalised(std::string_view s)
{
    const char* const b = s.data();
    const char* const e = b + s.size();
    if (std::memchr(b, '\0', s.size()))
        return false;
    for (const char* p = b; (p = static_cast<const char*>(std::memchr(p, '\n', e - p))); ++p) {
        if (p == b || p[-1] != '\r')
            return false;
    }
    for (const char* p = b; (p = static_cast<const char*>(std::memchr(p, '\r', e - p))); ++p) {
        if (p + 1 == e || p[1] != '\n')
            return false;
    }
    return true;
}

std::string NormaliseText(std::string_view s)
{
    if (IsNormalised(s))
        return std::string(s);
    std::string out;
    out.reserve(s.size() + 2);
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t e = i;
        while (e < n && !kNeedsLook[U(s[e])])
            ++e;
        out.append(s.substr(i, e - i));
        if (e >= n)
            break;
        const char c = s[e];
        if (c == '\r') {
            out += "\r\n";
            i = (e + 1 < n && s[e + 1] == '\n') ? e + 2 : e + 1;
        } else if (c == '\n') {
            out += "\r\n";
            i = e + 1;
        } else {
            i = e + 1; // NUL
        }
    }
    return out;
}

// Joins folded header lines. Between two encoded words (a line ending in "?="
// and a continuation starting with "=?") the fold vanishes, so that the words
// decode as one; anywhere else it becomes one blank.
std::string Unfold(std::string_view h)
{
    std::string out;
    out.reserve(h.size());
    const std::size_t n = h.size();
    std::size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < n) {
        const void* hit = std::memchr(h.data() + i, '\r', n - i);
        const std::size_t cr = hit ? static_cast<const char*>(hit) - h.data() : n;
        out.append(h.substr(i, cr - i));
        if (cr >= n)
            break;
        if (cr + 2 < n && h[cr + 1] == '\n' && isBlank(h[cr + 2])) {
            std::size_t j = cr + 2;
            while (j < n && isBlank(h[j]))
                ++j;
            const bool betweenWords = out.size() >= 2 &&
                out.compare(out.size() - 2, 2, "?=") == 0 && n - j >= 2 && h[j] == '=' &&
                h[j + 1] == '?';
            if (!betweenWords)
                out.push_back(' ');
            i = j;
        } else {
            out.push_back('\r');
            i = cr + 1;
        }
    }
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        char a = s[k], b = prefix[k];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b + 32);
        if (a != b)
            return false;
    }
    return true;
}

// Reads a run of digits at i. False when there is none or it is longer than
// nine digits (no field of a date needs more, and it keeps the sums small).
bool ReadNumber(std::string_view s, std::size_t& i, std::int64_t& value, int* digitCount = nullptr)
{
    value = 0;
    int digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (++digits > 9)
            return false;
        value = value * 10 + (s[i] - '0');
        ++i;
    }
    if (digitCount)
        *digitCount = digits;
    return digits > 0;
}

std::string_view NextWord(std::string_view s, std::size_t& i)
{
    while (i < s.size() && U(s[i]) <= 0x20)
        ++i;
    const std::size_t b = i;
    while (i < s.size() && U(s[i]) > 0x20)
        ++i;
    return s.substr(b, i - b);
}

// "10:20:30" or "10:20" as seconds of the day; other characters are ignored.
bool ParseTime(std::string_view word, std::int64_t& seconds)
{
    std::int64_t sum = 0, cur = 0;
    int digits = 0, colons = 0;
    for (char c : word) {
        if (c >= '0' && c <= '9') {
            if (++digits > 9)
                return false;
            cur = cur * 10 + (c - '0');
        } else if (c == ':') {
            if (++colons > 2)
                return false;
            sum = sum * 60 + cur;
            cur = 0;
            digits = 0;
        }
    }
    sum = sum * 60 + cur;
    // Hours and minutes without seconds.
    if (colons == 1)
        sum *= 60;
    seconds = sum;
    return true;
}

std::string LowerHex(std::uint32_t v)
{
    static const char digits[] = "0123456789abcdef";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = digits[v & 0xF];
        v >>= 4;
    } while (v);
    std::string out;
    while (n > 0)
        out.push_back(buf[--n]);
    return out;
}

// "#" at the start of the text and of every line gets a blank in front; runs
// of more than two line ends are cut to two.
std::string PlainTextOf(std::string_view body)
{
    std::string out;
    out.reserve(body.size() + 16);
    const std::size_t n = body.size();
    std::size_t i = 0;
    bool lineStart = true;
    while (i < n) {
        if (body[i] == '\r' && i + 1 < n && body[i + 1] == '\n') {
            int run = 0;
            while (n - i >= 2 && body[i] == '\r' && body[i + 1] == '\n') {
                if (++run <= 2)
                    out += "\r\n";
                i += 2;
            }
            lineStart = true;
            continue;
        }
        const char c = body[i];
        if (lineStart && c == '#')
            out.push_back(' ');
        lineStart = c == '\n';
        out.push_back(c);
        ++i;
    }
    return out;
}

const std::string& AttachmentHeading()
{
    static const std::string heading = SJ("【添付】") + std::string(32, '-');
    return heading;
}

void AppendMailText(std::string& out, const TMailEnvelope& envelope, bool expand, int level)
{
    switch (envelope.ContentKind()) {
    case TMailEnvelope::ckNone:
    case TMailEnvelope::ckPlain:
        out += envelope.GetPlainText();
        break;
    case TMailEnvelope::ckHtml:
        out += envelope.GetHTMLText();
        break;
    default:
        break;
    }
    const bool deeper = level < kMaxLevels;
    for (int i = 0; i < envelope.PartCount(); ++i) {
        TMailEnvelope part;
        part.SetSource(envelope.PartText(i));
        switch (part.ContentKind()) {
        case TMailEnvelope::ckNone:
        case TMailEnvelope::ckPlain:
            out += part.GetPlainText();
            // Of alternatives, the first plain one wins.
            if (envelope.ContentKind() == TMailEnvelope::ckAlternative)
                return;
            break;
        case TMailEnvelope::ckHtml:
            out += part.GetHTMLText();
            break;
        case TMailEnvelope::ckAlternative:
            if (deeper)
                AppendMailText(out, part, true, level + 1);
            break;
        case TMailEnvelope::ckMultipart:
            // The nested multipart's own parts are already split: expand them
            // directly rather than reading its raw body as another mail.
            if (expand && deeper) {
                out += AttachmentHeading();
                out += "\r\n\r\n";
                AppendMailText(out, part, true, level + 1);
            }
            break;
        case TMailEnvelope::ckMessage:
            if (expand && deeper) {
                TMailEnvelope inner;
                inner.SetSource(part.GetPlainText());
                out += AttachmentHeading();
                out += SJ("\r\n【発信】");
                out += inner.GetHeader("From:");
                out += SJ("\r\n【日付】");
                out += inner.GetHeader("Date:");
                out += SJ("\r\n【件名】");
                out += inner.GetHeader("Subject:");
                out += "\r\n\r\n";
                AppendMailText(out, inner, true, level + 1);
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

void TMailEnvelope::SetSource(std::string_view text)
{
    source_ = NormaliseText(text);
    const std::size_t blank = FindBytes(source_, "\r\n\r\n");
    if (blank == std::string_view::npos) {
        header_.clear();
        bodyStart_ = 0;
    } else {
        header_ = DecodeMimeHeader(Unfold(std::string_view(source_).substr(0, blank)));
        bodyStart_ = blank;
    }

    parts_.clear();
    const std::string contentType = GetHeader("Content-Type:");
    if (contentType.empty()) {
        contentKind_ = ckNone;
        return;
    }
    // The media type alone decides: a parameter (a boundary, a file name)
    // that happens to hold one of the words must not.
    const std::string lower = sjis::LowerAscii(contentType);
    const std::string_view type = std::string_view(lower).substr(0, lower.find(';'));
    auto has = [&](std::string_view word) { return type.find(word) != std::string_view::npos; };
    if (has("multipart/"))
        contentKind_ = has("alternative") ? ckAlternative : ckMultipart;
    else if (has("text/plain"))
        contentKind_ = ckPlain;
    else if (has("text/html"))
        contentKind_ = ckHtml;
    else if (has("message/rfc822"))
        contentKind_ = ckMessage;
    else
        contentKind_ = ckOther;
    if (contentKind_ != ckMultipart && contentKind_ != ckAlternative)
        return;

    const std::string boundary = GetHeaderParam(contentType, "boundary");
    if (boundary.empty())
        return;
    const std::string delimiter = "--" + boundary;
    const std::string_view body = std::string_view(source_).substr(bodyStart_);
    const std::size_t n = body.size();
    std::size_t at = FindBytes(body, delimiter);
    while (at != std::string_view::npos) {
        std::size_t start = at + delimiter.size();
        while (start < n && (body[start] == '\t' || body[start] == '\n' || body[start] == '\r'))
            ++start;
        const std::size_t next = FindBytes(body, delimiter, start);
        const std::size_t end = next == std::string_view::npos ? n : next;
        if (end - start >= 2 && body[start] == '-' && body[start + 1] == '-')
            break; // the closing delimiter
        std::size_t b = start, e = end;
        while (b < e && U(body[b]) <= 0x20)
            ++b;
        while (e > b && U(body[e - 1]) <= 0x20)
            --e;
        parts_.emplace_back(bodyStart_ + b, e - b);
        at = next;
    }
}

std::string_view TMailEnvelope::PartText(int index) const
{
    if (index < 0 || index >= PartCount())
        return {};
    const auto& [offset, length] = parts_[static_cast<std::size_t>(index)];
    return std::string_view(source_).substr(offset, length);
}

std::string TMailEnvelope::GetPart(int index) const
{
    return std::string(PartText(index));
}

std::string TMailEnvelope::GetHeader(std::string_view name) const
{
    const std::string_view h = header_;
    const std::size_t n = h.size();
    std::size_t pos = 0;
    while (pos < n) {
        const void* hit = std::memchr(h.data() + pos, '\n', n - pos);
        const std::size_t nl = hit ? static_cast<const char*>(hit) - h.data() : n;
        std::string_view line = h.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (StartsWithNoCase(line, name))
            return sjis::Trim(line.substr(name.size()));
        pos = nl + 1;
    }
    return {};
}

bool TMailEnvelope::HeaderIs(std::string_view name, std::string_view value) const
{
    return sjis::LowerAscii(GetHeader(name)) == value;
}

std::string TMailEnvelope::GetBody() const
{
    return DecodedBody(nullptr);
}

std::string TMailEnvelope::DecodedBody(bool* transferDecoded) const
{
    std::string body = source_.substr(bodyStart_);
    bool decoded = true;
    if (HeaderIs("Content-Transfer-Encoding:", "base64"))
        body = DecodeBase64(body);
    else if (HeaderIs("Content-Transfer-Encoding:", "quoted-printable"))
        body = DecodeQuotedPrintable(body);
    else
        decoded = false;
    if (transferDecoded)
        *transferDecoded = decoded;
    const std::string charset = GetHeaderParam(GetHeader("Content-Type:"), "charset");
    if (sjis::EqualsNoCase(charset, "iso-2022-jp"))
        body = Iso2022JpToSjis(body);
    else if (sjis::EqualsNoCase(charset, "euc-jp"))
        body = EucJpToSjis(body);
    else if (sjis::EqualsNoCase(charset, "utf-8"))
        body = sjis::FromUtf8(body);
    // Decoded text comes in like any mail text: CR LF line ends, no NUL.
    return NormaliseText(body);
}

std::string TMailEnvelope::GetPlainText() const
{
    const std::string body = GetBody();
    if (body.empty())
        return {};
    return sjis::Trim(PlainTextOf(body)) + "\r\n";
}

std::string TMailEnvelope::GetHTMLText() const
{
    // "=XX" in a body that was already transfer-decoded is text, not another
    // encoding.
    bool transferDecoded = false;
    const std::string body = DecodedBody(&transferDecoded);
    THTMLParser parser;
    parser.SetSource(body, !transferDecoded);
    return parser.GetText();
}

std::string TMailEnvelope::GetText() const
{
    return BuildMailText(*this, includeAttachments_);
}

std::string TMailEnvelope::GetDefinedText(std::string_view startMarker,
                                          std::string_view endMarker) const
{
    if (contentKind_ != ckPlain)
        return {};
    return ExtractBetween(GetBody(), startMarker, endMarker);
}

std::string TMailEnvelope::GetMailKey() const
{
    const std::string id = CleanMessageId(GetHeader("Message-ID:"));
    if (id.empty())
        return {};
    // Without a date the key finds its mail by the Message-ID alone.
    std::int32_t date;
    if (!TryParseMailDate(GetHeader("Date:"), date))
        return id;
    return id + "," + LowerHex(static_cast<std::uint32_t>(date));
}

int TMailEnvelope::GetPriority() const
{
    const std::string value = GetHeader("X-Priority:");
    if (value.empty())
        return 0;
    switch (value[0]) {
    case '1':
        return 3;
    case '2':
        return 2;
    case '3':
        return 1;
    default:
        return 0;
    }
}

std::int32_t TMailEnvelope::GetDateValue() const
{
    return ParseMailDate(GetHeader("Date:"));
}

std::string BuildMailText(const TMailEnvelope& envelope, bool expand)
{
    std::string out;
    AppendMailText(out, envelope, expand, 1);
    return out;
}

std::int32_t ParseMailDate(std::string_view value)
{
    std::int32_t seconds;
    return TryParseMailDate(value, seconds) ? seconds : 0;
}

bool TryParseMailDate(std::string_view v, std::int32_t& result)
{
    static const char* const kMonths[12] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const std::size_t n = v.size();
    const std::size_t eol = std::min(v.find_first_of("\r\n"), n);
    const std::size_t comma = v.find(',');
    std::size_t i = (comma != std::string_view::npos && comma < eol) ? comma + 1 : 0;
    while (i < n && v[i] == ' ')
        ++i;

    std::int64_t day = 0;
    if (!ReadNumber(v, i, day))
        return false;
    const std::size_t dayEnd = i;

    int month = 1;
    if (n - dayEnd >= 4) {
        const std::string_view name = v.substr(dayEnd + 1, 3);
        for (int m = 0; m < 12; ++m) {
            if (name == kMonths[m])
                month = m + 1;
        }
    }

    i = dayEnd + 5;
    if (i >= n)
        return false;
    std::int64_t year = 0;
    int yearDigits = 0;
    if (!ReadNumber(v, i, year, &yearDigits))
        return false;
    if (yearDigits < 4) {
        std::int64_t scale = 1;
        for (int k = 0; k < yearDigits; ++k)
            scale *= 10;
        year += 19 * scale;
    }

    const std::string_view timeWord = NextWord(v, i);
    const std::string_view zone = NextWord(v, i);
    std::int64_t seconds = 0;
    if (!ParseTime(timeWord, seconds))
        return false;

    std::int64_t offset = 0;
    if (!zone.empty() && (zone[0] == '+' || zone[0] == '-')) {
        std::size_t z = 1;
        std::int64_t hhmm = 0;
        int digits = 0;
        while (z < zone.size() && zone[z] >= '0' && zone[z] <= '9') {
            if (++digits > 9)
                return false;
            hhmm = hhmm * 10 + (zone[z] - '0');
            ++z;
        }
        offset = hhmm / 100 * 3600 + hhmm % 100 * 60;
        if (zone[0] == '-')
            offset = -offset;
    }
    // "GMT" and every other zone name count as no offset.

    days::Day dayNumber = 0;
    if (!days::TryEncode(static_cast<int>(year), month, static_cast<int>(day), dayNumber))
        return false;
    const std::int64_t value =
        (static_cast<std::int64_t>(dayNumber) - kUnixEpochDay) * 86400 + seconds - offset;
    // Dates after 2038 wrap, as the link key expects.
    result =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
    return true;
}

std::string CleanMessageId(std::string_view id)
{
    constexpr std::size_t kMaxBytes = 998;
    std::string out;
    out.reserve(std::min(id.size(), kMaxBytes));
    std::size_t i = 0;
    while (i < id.size()) {
        // A lead byte counts as a character start only with a real trail byte,
        // so that no quote or control byte can hide behind it.
        const unsigned char trail = i + 1 < id.size() ? U(id[i + 1]) : 0;
        const bool pair = sjis::CharLen(id, i) == 2 &&
            ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
        if (pair) {
            if (out.size() + 2 > kMaxBytes)
                break;
            out.append(id.substr(i, 2));
            i += 2;
            continue;
        }
        char c = id[i++];
        if (U(c) < 0x20 || U(c) == 0x7F)
            continue;
        if (c == '"')
            c = '\'';
        else if (c == '\\' && out.size() >= 2 && out.compare(out.size() - 2, 2, "\\:") == 0)
            c = '/';
        if (out.size() + 1 > kMaxBytes)
            break;
        out.push_back(c);
    }
    return out;
}
