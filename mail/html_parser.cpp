#include "mail/html_parser.h"

#include "core/sjis.h"

#include <algorithm>
#include <cstring>
#include <vector>

const TTagTable kTagTable[10] = {
    { ":HR:LI:DT:DD:", 3, 0 },
    { ":H1:H2:H3:H4:H5:H6:H7:TR:TABLE:DIV:TABLE:", 0, 3 },
    { ":P:UL:DL:OL:DIR:BLOCKQUOTE:BR:", 3, 3 },
    { ":TD:TH:", 0, 9 },
    { ":PRE:", 1, 2 },
    { ":SCRIPT:SELECT:STYLE:TITLE:", 5, 6 },
    { ":FONT:", 7, 8 },
    { ":B:", 10, 11 },
    { ":I:", 12, 13 },
    { "", 0, 0 },
};

namespace {

enum Action : unsigned char {
    acNone = 0,
    acPreOn = 1,
    acPreOff = 2,
    acEndLine = 3,
    acSpace = 4,
    acSkipOn = 5,
    acSkipOff = 6,
    acComma = 9,
};

inline unsigned char U(char c)
{
    return static_cast<unsigned char>(c);
}

inline bool IsAsciiAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::size_t FindByte(std::string_view s, char c, std::size_t from)
{
    if (from >= s.size())
        return s.size();
    const void* hit = std::memchr(s.data() + from, c, s.size() - from);
    return hit ? static_cast<const char*>(hit) - s.data() : s.size();
}

// A tag name of up to eight characters packed into one number (upper case),
// so that looking a tag up is a few integer compares.
struct TagName
{
    std::uint64_t packed;
    std::string_view name;
    const TTagTable* entry;
};

constexpr std::size_t kPackedChars = 8;

std::uint64_t Pack(std::string_view name)
{
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < name.size() && k < kPackedChars; ++k) {
        char c = name[k];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * k);
    }
    return v;
}

// The table's names, split once; a name listed twice belongs to its first row.
const std::vector<TagName>& TagNames()
{
    static const std::vector<TagName> names = [] {
        std::vector<TagName> list;
        for (const TTagTable& entry : kTagTable) {
            const std::string_view tags = entry.Tags;
            std::size_t p = 0;
            while (p < tags.size()) {
                const std::size_t colon = tags.find(':', p + 1);
                if (colon == std::string_view::npos)
                    break;
                const std::string_view name = tags.substr(p + 1, colon - p - 1);
                bool known = false;
                for (const TagName& t : list)
                    known = known || t.name == name;
                if (!name.empty() && !known)
                    list.push_back({ Pack(name), name, &entry });
                p = colon;
            }
        }
        return list;
    }();
    return names;
}

// The action of a tag from its text (between "<" and ">"): the name is the
// letters and digits after an optional "/".
unsigned char LookupAction(std::string_view tagText)
{
    const bool closing = !tagText.empty() && tagText[0] == '/';
    std::size_t i = closing ? 1 : 0;
    const std::size_t b = i;
    while (i < tagText.size() && IsAsciiAlnum(U(tagText[i])))
        ++i;
    const std::string_view name = tagText.substr(b, i - b);
    if (name.empty() || name.size() > 10)
        return acNone;
    const std::uint64_t packed = Pack(name);
    for (const TagName& t : TagNames()) {
        if (t.packed == packed && t.name.size() == name.size() &&
            (name.size() <= kPackedChars ||
             Pack(name.substr(kPackedChars)) == Pack(t.name.substr(kPackedChars))))
            return (closing ? t.entry->CloseAction : t.entry->OpenAction) & 0x7F;
    }
    return acNone;
}

// True when text at pos starts with word (lower-case ASCII), ignoring case.
bool AtNoCase(std::string_view text, std::size_t pos, std::string_view word)
{
    if (pos > text.size() || text.size() - pos < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        char c = text[pos + k];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != word[k])
            return false;
    }
    return true;
}

struct Entity
{
    std::string_view name; // after the "&"
    char value;
};
constexpr Entity kLaterEntities[] = {
    { "lt;", '<' }, { "gt;", '>' }, { "quot;", '"' }, { "nbsp;", ' ' }
};

void AppendCodePoint(std::string& out, char32_t cp)
{
    if (cp == 0 || cp == 13)
        return;
    if (cp == 10)
        out += "\r\n";
    else if (cp < 0x80)
        out.push_back(static_cast<char>(cp));
    else
        out += sjis::FromCodePoint(cp);
}

// Runs of CR LF become one CR LF, so the text has no empty lines.
std::string CollapseLineBreaks(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const std::size_t cr = FindByte(s, '\r', i);
        out.append(s.substr(i, cr - i));
        if (cr >= n)
            break;
        if (cr + 1 < n && s[cr + 1] == '\n') {
            out += "\r\n";
            i = cr + 2;
            while (n - i >= 2 && s[i] == '\r' && s[i + 1] == '\n')
                i += 2;
        } else {
            out.push_back('\r');
            i = cr + 1;
        }
    }
    return out;
}

} // namespace

std::string DecodeEntities(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t amp = FindByte(line, '&', i);
        out.append(line.substr(i, amp - i));
        if (amp >= n)
            break;
        // One pass does what replacing &amp;, &lt;, &gt;, &quot; and &nbsp;
        // one after the other and then the numeric references does: only
        // the "&" that &amp; leaves can join the text behind it into another
        // entity ("&amp;lt;" gives "<"). "&" is never a trail byte.
        i = amp + 1;
        if (AtNoCase(line, i, "amp;"))
            i += 4;
        bool named = false;
        for (const Entity& e : kLaterEntities) {
            if (AtNoCase(line, i, e.name)) {
                out.push_back(e.value);
                i += e.name.size();
                named = true;
                break;
            }
        }
        if (named)
            continue;
        // "&#", one to seven digits, ";".
        std::size_t j = i + 1;
        char32_t cp = 0;
        int digits = 0;
        if (i < n && line[i] == '#') {
            while (j < n && digits < 8 && line[j] >= '0' && line[j] <= '9') {
                cp = cp * 10 + static_cast<char32_t>(line[j] - '0');
                ++digits;
                ++j;
            }
        }
        if (digits >= 1 && digits <= 7 && j < n && line[j] == ';') {
            AppendCodePoint(out, cp);
            i = j + 1;
        } else {
            out.push_back('&');
        }
    }
    return out;
}

void THTMLParser::SetSource(std::string_view text, bool decodeQuotedPrintable)
{
    std::string norm;
    norm.reserve(text.size() + text.size() / 32);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Copy the plain run up to the next byte that needs a look.
        std::size_t e = i;
        while (e < n) {
            const char c = text[e];
            if (c == '\r' || c == '\n' || c == '\0' || (c == '=' && decodeQuotedPrintable))
                break;
            ++e;
        }
        norm.append(text.substr(i, e - i));
        if (e >= n)
            break;
        i = e;
        const char c = text[i];
        if (c == '\n') {
            norm += "\r\n";
            ++i;
        } else if (c == '\r') {
            norm += "\r\n";
            i += (i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        } else if (c == '\0') {
            ++i;
        } else { // "=" of quoted-printable
            const int hi = i + 1 < n ? sjis::HexDigit(U(text[i + 1])) : -1;
            const int lo = i + 2 < n ? sjis::HexDigit(U(text[i + 2])) : -1;
            if (hi >= 0 && lo >= 0) {
                const char b = static_cast<char>(hi * 16 + lo);
                if (b != '\0')
                    norm.push_back(b);
                i += 3;
            } else if (i + 1 < n && text[i + 1] == '\r') {
                i += (i + 2 < n && text[i + 2] == '\n') ? 3 : 2;
            } else if (i + 1 < n && text[i + 1] == '\n') {
                i += 2;
            } else {
                norm.push_back('=');
                ++i;
            }
        }
    }
    source_ = sjis::Trim(norm);
    pre_ = false;
    pos_ = 0;
    tokenStart_ = 0;
    commentEndKnown_ = false;
    NextToken();
}

THTMLParser::ScannedTag THTMLParser::ScanTag(std::size_t from)
{
    const std::size_t n = source_.size();
    if (n - std::min(from, n) >= 3 && source_[from] == '!' && source_[from + 1] == '-' &&
        source_[from + 2] == '-') {
        // A comment ends at the next "-->", whatever it holds. The position is
        // kept: when there is none after one comment there is none after the
        // next either.
        if (!commentEndKnown_ || (commentEnd_ != std::string::npos && commentEnd_ < from)) {
            commentEnd_ = source_.find("-->", from);
            commentEndKnown_ = true;
        }
        if (commentEnd_ != std::string::npos)
            return { commentEnd_, commentEnd_ + 3, false };
    }
    std::size_t i = from;
    while (i < n) {
        const unsigned char c = U(source_[i]);
        if (c == '>')
            return { i, i + 1, false };
        i += sjis::IsLeadByte(c) ? 2 : 1;
    }
    return { n, n, true };
}

void THTMLParser::NextToken()
{
    const std::size_t n = source_.size();
    if (!pre_) {
        while (pos_ < n && U(source_[pos_]) < 0x20)
            ++pos_;
    }
    tokenStart_ = pos_;
    tokenText_.clear();
    if (pos_ >= n) {
        tokenKind_ = tkEnd;
        return;
    }
    const char c = source_[pos_];
    if (c == '\n' || c == '\r') {
        tokenKind_ = tkLineBreak;
        ++pos_;
        if (c == '\r' && pos_ < n && source_[pos_] == '\n')
            ++pos_;
        return;
    }
    if (c == '<') {
        const ScannedTag tag = ScanTag(pos_ + 1);
        tokenKind_ = tkTag;
        tokenText_ = source_.substr(pos_ + 1, tag.textEnd - pos_ - 1);
        for (char& t : tokenText_) {
            if (t == '\t' || t == '\r' || t == '\n')
                t = ' ';
        }
        pos_ = tag.next;
        if (IsTag({ "PRE" }))
            pre_ = true;
        else if (IsTag({ "/PRE" }))
            pre_ = false;
        return;
    }
    std::size_t e = pos_;
    while (e < n && source_[e] != '\0' && source_[e] != '\r' && source_[e] != '\n' &&
           source_[e] != '<')
        ++e;
    if (pre_ && e < n && source_[e] == '\r')
        e = std::min(n, e + 2);
    if (e == pos_)
        e = pos_ + 1;
    tokenKind_ = tkText;
    tokenText_ = source_.substr(pos_, e - pos_);
    pos_ = e;
}

bool THTMLParser::IsTag(std::initializer_list<std::string_view> names) const
{
    if (tokenKind_ != tkTag)
        return false;
    const std::string upper = sjis::UpperAscii(tokenText_);
    for (std::string_view name : names) {
        if (sjis::EqualsNoCase(tokenText_, name))
            return true;
        const std::string prefix = sjis::UpperAscii(name) + " ";
        if (upper.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

std::string THTMLParser::GetText()
{
    std::string result, line;
    bool preformatted = false, skipping = false, lastWasSpace = false;
    const std::string_view s = source_;
    const std::size_t n = s.size();
    auto endLine = [&] {
        result += DecodeEntities(line);
        result += "\r\n";
        line.clear();
    };
    // The conversion starts with the current token, so the first tag or text
    // run of the body is not lost.
    std::size_t i = tokenStart_;
    while (i < n) {
        if (!preformatted) {
            while (i < n && U(s[i]) < 0x20)
                ++i;
            if (i >= n)
                break;
        }
        if (s[i] == '<') {
            const ScannedTag tag = ScanTag(i + 1);
            if (tag.reachedEnd)
                break;
            const unsigned char action = LookupAction(s.substr(i + 1, tag.textEnd - i - 1));
            i = tag.next;
            switch (action) {
            case acPreOn:
                preformatted = true;
                // Only a line break right after the tag belongs to the markup.
                if (i < n && s[i] == '\r')
                    i += (i + 1 < n && s[i + 1] == '\n') ? 2 : 1;
                else if (i < n && s[i] == '\n')
                    ++i;
                break;
            case acPreOff:
                preformatted = false;
                break;
            case acEndLine:
                endLine();
                break;
            case acSpace:
                line.push_back(' ');
                break;
            case acSkipOn:
                skipping = true;
                break;
            case acSkipOff:
                skipping = false;
                break;
            case acComma:
                line.push_back(',');
                break;
            default:
                break;
            }
            continue;
        }
        const std::size_t e = FindByte(s, '<', i);
        if (skipping) {
            // dropped
        } else if (preformatted) {
            line.append(s.substr(i, e - i));
        } else {
            std::size_t k = i;
            while (k < e) {
                std::size_t run = k;
                while (run < e && U(s[run]) > 0x20)
                    ++run;
                if (run > k) {
                    line.append(s.substr(k, run - k));
                    lastWasSpace = false;
                    k = run;
                    continue;
                }
                if (s[k] == ' ' && !lastWasSpace) {
                    line.push_back(' ');
                    lastWasSpace = true;
                }
                ++k;
            }
        }
        i = e;
    }
    result += DecodeEntities(line);
    std::string text = sjis::Trim(CollapseLineBreaks(result));
    std::erase(text, '\0');
    return text;
}
