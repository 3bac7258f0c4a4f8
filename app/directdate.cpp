#include "app/directdate.h"

#include "core/eventdata.h"

#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparator(char c)
{
    return c == '-' || c == '.' || c == '/';
}

} // namespace

bool ParseNumber(std::string_view text, std::size_t& pos, std::int32_t& value)
{
    // Trail bytes of double-byte characters are never digits, so a byte scan
    // cannot read half a character.
    while (pos < text.size() && !IsDigit(text[pos]))
        ++pos;
    std::int64_t v = 0;
    bool fits = true;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        if (fits) {
            v = v * 10 + (text[pos] - '0');
            if (v > std::numeric_limits<std::int32_t>::max())
                fits = false;
        }
    }
    value = fits ? static_cast<std::int32_t>(v) : 0;
    return fits;
}

bool ParseDirectDate(std::string_view text, days::Day current, days::Day& out)
{
    const days::Ymd now = days::Decode(current);
    int year = now.year;
    int month = now.month;
    int day = now.day;
    std::size_t pos = 0;

    std::int32_t n = 0;
    if (!ParseNumber(text, pos, n) || n > 9999)
        return false;
    if (n >= 1900)
        year = n;
    const bool atEnd = pos >= text.size();
    const char sep = atEnd ? '\0' : text[pos];
    if (!atEnd && !IsSeparator(sep))
        return false;

    std::int32_t m = 0;
    if (!ParseNumber(text, pos, m))
        return false;
    if (m >= 1 && m <= 12)
        month = m;
    if (pos < text.size() && text[pos] != sep)
        return false;

    std::int32_t d = 0;
    if (!ParseNumber(text, pos, d))
        return false;
    const int length = MonthDays(year, month);
    if (d >= 1)
        day = d;
    if (day > length)
        day = length;
    return days::TryEncode(year, month, day, out);
}
