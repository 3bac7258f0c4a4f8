#include "view/calgeom.h"

#include <algorithm>

namespace calgeom {

std::array<int, 7> CellSizes(int total, int lineWidth, bool thinHoliday, int startOfWeek)
{
    std::array<int, 7> sizes {};
    int w = std::max(0, total - 7 * lineWidth);
    if (!thinHoliday) {
        for (int i = 0; i < 7; ++i) {
            sizes[i] = w / (7 - i);
            w -= sizes[i];
        }
        return sizes;
    }
    // A tenth of the room, in the integer steps that the stored layouts of
    // earlier versions were made with.
    const int thin = ((w * 4) / 25 * 5) / 8;
    w -= 2 * thin;
    int left = 5;
    for (int i = 0; i < 7; ++i) {
        const int weekday = (i + startOfWeek) % 7;
        if (weekday == 0 || weekday == 6) {
            sizes[i] = thin;
        } else {
            sizes[i] = w / left;
            w -= sizes[i];
            --left;
        }
    }
    return sizes;
}

std::array<int, 6> DayRowHeights(int rest)
{
    std::array<int, 6> rows {};
    rest = std::max(rest, 0);
    for (int i = 0; i < 6; ++i) {
        rows[i] = rest / (6 - i);
        rest -= rows[i];
    }
    return rows;
}

days::Day FirstOfMonth(days::Day date)
{
    const days::Ymd d = days::Decode(date);
    return days::Encode(d.year, d.month, 1);
}

days::Day MonthGridStart(days::Day firstOfMonth, int startOfWeek)
{
    const int k = (days::DayOfWeek(firstOfMonth) - startOfWeek + 6) % 7;
    return firstOfMonth - (k == 0 ? 7 : k);
}

days::Day WeekGridStart(days::Day date, int startOfWeek)
{
    int d = days::DayOfWeek(date) - 1;
    if (d < startOfWeek)
        d += 7;
    return date - d + startOfWeek;
}

bool MoveTarget(bool weekly, days::Day firstOfMonth, days::Day current, int years, int pages,
                days::Day& out)
{
    int y = 0;
    int m = 0;
    int d = 0;
    if (weekly) {
        const long long moved = static_cast<long long>(current) + 7LL * pages;
        if (moved < days::kMinDay || moved > days::kMaxDay)
            return false;
        const days::Ymd ymd = days::Decode(static_cast<days::Day>(moved));
        y = ymd.year;
        m = ymd.month;
        d = ymd.day;
    } else {
        const days::Ymd shown = days::Decode(firstOfMonth);
        d = days::Decode(current).day;
        // Months counted from year 0, so that any number of pages wraps.
        const long long months = shown.year * 12LL + (shown.month - 1) + pages;
        const long long yy = months >= 0 ? months / 12 : -((-months + 11) / 12);
        if (yy < 1 || yy > 9999)
            return false;
        y = static_cast<int>(yy);
        m = static_cast<int>(months - yy * 12) + 1;
    }
    const long long yy = static_cast<long long>(y) + years;
    if (yy < 1 || yy > 9999)
        return false;
    y = static_cast<int>(yy);
    d = std::min(d, days::DaysInMonth(y, m));
    out = days::Encode(y, m, d);
    return days::IsShown(out);
}

bool ReplaceDatePart(days::Day current, DatePart part, int value, days::Day& out)
{
    if (value < 1)
        return false;
    days::Ymd d = days::Decode(current);
    switch (part) {
    case DatePart::Year:
        if (value < 1900 || value > 9999 || value == d.year)
            return false;
        d.year = value;
        break;
    case DatePart::Month:
        if (value > 12 || value == d.month)
            return false;
        d.month = value;
        break;
    case DatePart::Day:
        if (value > days::DaysInMonth(d.year, d.month) || value == d.day)
            return false;
        d.day = value;
        break;
    }
    d.day = std::min(d.day, days::DaysInMonth(d.year, d.month));
    out = days::Encode(d.year, d.month, d.day);
    return true;
}

} // namespace calgeom
