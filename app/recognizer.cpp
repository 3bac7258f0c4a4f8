#include "app/recognizer.h"

#include "core/sjis.h"

#include <cstddef>

namespace {

// Any number beyond this is already outside every range a time or a date can
// take, so long digit runs stop growing here instead of overflowing.
constexpr int kNumberLimit = 1000000;
constexpr int kLastTime = 25 * 60;
constexpr int kLastYear = 9999;
constexpr int kLoneTimeLength = 15;

constexpr bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Reads the text one character at a time through a small alphabet: digits,
// the separators ':' '/' '.', the dash, the blank, and every other character
// as a code that is neither (a byte below 0x100 or lead * 256 + trail).
class TTextScanner
{
public:
    explicit TTextScanner(std::string_view text) : text_(text) { }

    bool AtEnd() const { return pos_ >= text_.size(); }

    // 0 at the end of the text; a lead byte with nothing after it is the end.
    int ScanChar()
    {
        if (AtEnd())
            return 0;
        const unsigned char c = static_cast<unsigned char>(text_[pos_]);
        if (!sjis::IsLeadByte(c)) {
            ++pos_;
            return c <= 32 ? ' ' : c;
        }
        if (pos_ + 1 >= text_.size()) {
            pos_ = text_.size();
            return 0;
        }
        const unsigned char t = static_cast<unsigned char>(text_[pos_ + 1]);
        pos_ += 2;
        const int code = c * 256 + t;
        switch (code) {
        case 0x8140: // "　"
        case 0x8169: // "（"
        case 0x93FA: // "日"
        case 0x95AA: // "分"
            return ' ';
        case 0x8144: // "．"
        case 0x815E: // "／"
        case 0x8C8E: // "月"
        case 0x944E: // "年"
            return '/';
        case 0x8146: // "："
        case 0x8E9E: // "時"
            return ':';
        case 0x8160: // "～"
        case 0x817C: // "－"
            return '-';
        default:
            if (code >= 0x824F && code <= 0x8258) // "０" .. "９"
                return '0' + (code - 0x824F);
            return code;
        }
    }

    int SkipToDigit()
    {
        for (;;) {
            const int c = ScanChar();
            if (c == 0 || IsDigit(c))
                return c;
        }
    }

    // Up to three numbers joined by separators of the set. Returns how many
    // count: a number with no separator after it gives 0, and a trailing
    // separator with nothing (or only zeros) after it adds none.
    int ScanNumbers(std::string_view separators, int (&numbers)[3])
    {
        int count = 0;
        numbers[0] = 0;
        int c = SkipToDigit();
        for (;;) {
            if (IsDigit(c)) {
                int& n = numbers[count];
                const int digit = c - '0';
                n = n > (kNumberLimit - digit) / 10 ? kNumberLimit : n * 10 + digit;
            } else if (c != 0 && c < 0x100 &&
                       separators.find(static_cast<char>(c)) != std::string_view::npos) {
                if (count == 2)
                    return 2;
                ++count;
                numbers[count] = 0;
            } else {
                break;
            }
            c = ScanChar();
        }
        if (count > 0 && numbers[count] != 0)
            ++count;
        return count;
    }

    // Minutes of the next "h:m" or "h:" (with 時 and 分), 0 when none.
    int ScanTime()
    {
        int n[3];
        const int count = ScanNumbers(":", n);
        if (count != 1 && count != 2)
            return 0;
        const int minutes = n[0] * 60 + (count == 2 ? n[1] : 0);
        return minutes > kLastTime ? 0 : minutes;
    }

    // The next "m/d", "y/m" or "y/m/d" (with 年 月 日 and dots).
    TParsedDate ScanDate()
    {
        int n[3];
        const int count = ScanNumbers("/.", n);
        TParsedDate date;
        if (count == 2 && n[0] <= 12) {
            date.month = n[0];
            date.day = n[1];
        } else if (count == 2) {
            date = TParsedDate { n[0], n[1], 1 };
        } else if (count == 3) {
            date = TParsedDate { n[0], n[1], n[2] };
        }
        // A year the calendar cannot hold is no date; the search goes on.
        if (date.year > kLastYear)
            return TParsedDate {};
        return date;
    }

    std::size_t Pos() const { return pos_; }
    void SetPos(std::size_t pos) { pos_ = pos; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

void ScanTimes(std::string_view text, TParsedText& out)
{
    TTextScanner scanner(text);
    int begin = 0;
    int end = 0;
    int firstLone = 0;
    do {
        begin = scanner.ScanTime();
        end = begin > 0 ? scanner.ScanTime() : 0;
        if (begin > 0 && end > 0)
            break;
        if (begin > 0 && firstLone == 0)
            firstLone = begin;
    } while (!scanner.AtEnd());
    if (begin == 0 || end == 0) {
        // No range: a single time found on the way still counts.
        begin = firstLone;
        end = 0;
    }
    if (begin > 0 && end <= begin)
        end = begin + kLoneTimeLength;
    out.begin = begin;
    out.end = end;
}

void ScanDates(std::string_view text, TParsedText& out)
{
    TTextScanner scanner(text);
    do {
        out.date = scanner.ScanDate();
    } while (!out.date.Found() && !scanner.AtEnd());
}

// Searches from a character start, so the search itself need not walk the
// text before it.
std::size_t FindFrom(std::string_view text, std::string_view what, std::size_t from)
{
    const std::size_t hit = sjis::Find(text.substr(from), what);
    return hit == std::string_view::npos ? hit : from + hit;
}

bool IsPlaceGap(std::string_view text, std::size_t pos, std::size_t& len)
{
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    len = sjis::CharLen(text, pos);
    if (len == 1)
        return c <= 32 || c == ':';
    return text.compare(pos, 2, "\x81\x40") == 0 || text.compare(pos, 2, "\x81\x46") == 0;
}

void ScanPlace(std::string_view text, TParsedText& out)
{
    const std::string& basho = SJ("場所");
    const std::string& kaijo = SJ("会場");
    // "場所" wins over an earlier "会場"; once the rest holds no "場所", no
    // later part of it can, so that search is not repeated.
    bool noBasho = false;
    std::size_t from = 0;
    for (;;) {
        std::size_t hit = std::string_view::npos;
        if (!noBasho) {
            hit = FindFrom(text, basho, from);
            noBasho = hit == std::string_view::npos;
        }
        if (hit == std::string_view::npos)
            hit = FindFrom(text, kaijo, from);
        if (hit == std::string_view::npos)
            return;
        TTextScanner scanner(text);
        scanner.SetPos(hit + basho.size());
        const int gate = scanner.ScanChar();
        from = scanner.Pos();
        if (gate == ' ' || gate == ':')
            break;
    }
    std::size_t start = from;
    std::size_t len = 0;
    while (start < text.size() && IsPlaceGap(text, start, len))
        start += len;
    // A line end is never part of a character: a lead byte right before one
    // is a broken character and is left out with it.
    const auto isLineEnd = [&](std::size_t pos) {
        return pos < text.size() && (text[pos] == '\r' || text[pos] == '\n');
    };
    std::size_t stop = start;
    while (stop < text.size() && !isLineEnd(stop)) {
        const std::size_t len = sjis::CharLen(text, stop);
        if (len == 2 && isLineEnd(stop + 1))
            break;
        stop += len;
    }
    out.place = sjis::Trim(sjis::ReplaceAll(text.substr(start, stop - start), "\x81\x40", " "));
}

} // namespace

TParsedText ParseText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    TParsedText out;
    ScanTimes(text, out);
    ScanDates(text, out);
    ScanPlace(text, out);
    return out;
}

std::optional<days::Day> ResolveParsedDate(const TParsedDate& date, days::Day today)
{
    if (!date.Found())
        return std::nullopt;
    const days::Ymd now = days::Decode(today);
    int year = date.year;
    if (year == 0)
        year = now.year;
    else if (year < 100)
        year += year < 90 ? 2000 : 1900;
    const int month = date.month < 1 || date.month > 12 ? now.month : date.month;
    const int last = days::DaysInMonth(year, month);
    int day = date.day < 1 || date.day > last ? now.day : date.day;
    if (day > last)
        day = last;
    days::Day out = 0;
    if (!days::TryEncode(year, month, day, out) || !days::IsShown(out))
        return std::nullopt;
    return out;
}

TParsedChanges ResolveParsed(const TParsedText& parsed, std::string_view selection, int kind,
                             days::Day today)
{
    TParsedChanges changes;
    if (kind == paSubject)
        changes.subject = std::string(selection);
    if (kind == paPlace)
        changes.place = std::string(selection);
    if (kind == paTime || kind == paAll) {
        if (parsed.HasPlace())
            changes.place = parsed.place;
        changes.noTime = !parsed.HasTime();
        if (parsed.HasTime()) {
            changes.begin = parsed.begin;
            changes.end = parsed.end;
        }
    }
    if (kind == paDate || kind == paAll)
        changes.date = ResolveParsedDate(parsed.date, today);
    return changes;
}

TMemoMenuState MemoMenuState(std::string_view selection, const TParsedText& parsed,
                             bool clipboardHasText)
{
    TMemoMenuState state;
    state.subject = !selection.empty() && !parsed.HasTime() && !parsed.HasDate();
    state.place = state.subject;
    state.time = parsed.HasTime();
    state.date = parsed.HasDate();
    state.all = parsed.HasPlace() || parsed.HasDate() || parsed.HasTime();
    state.copy = !selection.empty();
    state.paste = clipboardHasText;
    return state;
}

TNewEventFill PrefillNewEvent(std::string_view subject, std::string_view memo, days::Day date,
                              days::Day today)
{
    std::string text(subject);
    text += "\r\n";
    text += memo;
    const TParsedText parsed = ParseText(text);
    TNewEventFill fill;
    fill.date = ResolveParsedDate(parsed.date, today).value_or(date);
    fill.place = parsed.place;
    fill.startTime = parsed.begin;
    fill.endTime = parsed.end;
    fill.hasTime = parsed.HasTime();
    return fill;
}
