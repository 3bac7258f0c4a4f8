#include "core/recurrence.h"

#include "core/sjis.h"

#include <algorithm>

namespace recur {

namespace {

using days::Day;

// Candidates examined before the search gives up: an item whose every later
// candidate is excluded (a monthly item on the 31st that also skips month
// ends) must not search for ever.
constexpr int kMaxCandidates = 5000;
// A week rule that matches no day within this many years matches none.
constexpr int kMaxYears = 401;
constexpr Day kNone = -1;

inline std::uint8_t WeekdayBitOf(Day day)
{
    return static_cast<std::uint8_t>(1u << (days::DayOfWeek(day) - 1));
}

// The repeat fields' sets put their first day or week in the highest bit; the rules
// here keep Sunday and week 1 in bit 0.
std::uint8_t ReverseBits(std::uint8_t set, int count)
{
    std::uint8_t out = 0;
    for (int i = 0; i < count; ++i)
        if (set & (1u << i))
            out |= static_cast<std::uint8_t>(1u << (count - 1 - i));
    return out;
}

void NextMonth(int& y, int& m)
{
    if (++m > 12) {
        m = 1;
        ++y;
    }
}

void PrevMonth(int& y, int& m)
{
    if (--m < 1) {
        m = 12;
        --y;
    }
}

Day LastDayOf(int y, int m)
{
    return days::Encode(y, m, days::DaysInMonth(y, m));
}

// The first day from `from` (a day of month y/m) to the month's end that the
// week rule accepts; kNone when there is none.
Day MatchInMonth(const Rule& r, int y, int m, int from)
{
    const int md = days::DaysInMonth(y, m);
    const Day first = days::Encode(y, m, 1);
    const int dow1 = days::DayOfWeek(first) - 1;
    for (int d = from; d <= md; ++d) {
        if (!(r.weeks & (1u << ((d - 1) / 7))))
            continue;
        if (r.weekdays & (1u << ((dow1 + d - 1) % 7)))
            return first + d - 1;
    }
    return kNone;
}

// The last day from `to` (a day of month y/m) back to the month's first that
// the week rule accepts.
Day LastMatchInMonth(const Rule& r, int y, int m, int to)
{
    const Day first = days::Encode(y, m, 1);
    const int dow1 = days::DayOfWeek(first) - 1;
    for (int d = to; d >= 1; --d) {
        if ((r.weeks & (1u << ((d - 1) / 7))) && (r.weekdays & (1u << ((dow1 + d - 1) % 7))))
            return first + d - 1;
    }
    return kNone;
}

struct Candidate
{
    Day c = kNone; // the candidate day
    Day g = kNone; // where the search goes on when it does not serve
};

Candidate Find(const Rule& r, Day cur)
{
    Candidate k;
    switch (r.kind) {
    case Kind::Daily:
        k.c = cur;
        k.g = cur + 1;
        return k;
    case Kind::Weekly: {
        const int dow = days::DayOfWeek(cur) - 1;
        for (int i = 0; i < 7; ++i) {
            if (r.weekdays & (1u << ((dow + i) % 7))) {
                k.c = cur + i;
                k.g = k.c + 1;
                return k;
            }
        }
        return k;
    }
    case Kind::MonthDay: {
        days::Ymd ymd = days::Decode(cur);
        int y = ymd.year, m = ymd.month;
        while (days::DaysInMonth(y, m) < r.day0)
            NextMonth(y, m);
        k.c = days::Encode(y, m, r.day0);
        do
            NextMonth(y, m);
        while (days::DaysInMonth(y, m) < r.day0);
        k.g = days::Encode(y, m, r.day0);
        return k;
    }
    case Kind::MonthLast: {
        days::Ymd ymd = days::Decode(cur);
        int y = ymd.year, m = ymd.month;
        k.c = LastDayOf(y, m);
        NextMonth(y, m);
        k.g = LastDayOf(y, m);
        return k;
    }
    case Kind::MonthWeek: {
        days::Ymd ymd = days::Decode(cur);
        int y = ymd.year, m = ymd.month, from = ymd.day;
        for (int n = 0; n < kMaxYears * 12 && y <= 9999; ++n) {
            Day hit = MatchInMonth(r, y, m, from);
            if (hit != kNone) {
                k.c = hit;
                k.g = hit + 1;
                return k;
            }
            NextMonth(y, m);
            from = 1;
        }
        return k;
    }
    case Kind::YearDay: {
        int y = days::Decode(cur).year;
        while (days::DaysInMonth(y, r.month0) < r.day0)
            ++y;
        k.c = days::Encode(y, r.month0, r.day0);
        do
            ++y;
        while (days::DaysInMonth(y, r.month0) < r.day0);
        k.g = days::Encode(y, r.month0, r.day0);
        return k;
    }
    case Kind::YearLast: {
        int y = days::Decode(cur).year;
        k.c = LastDayOf(y, r.month0);
        k.g = LastDayOf(y + 1, r.month0);
        return k;
    }
    case Kind::YearWeek: {
        days::Ymd ymd = days::Decode(cur);
        int y = ymd.year;
        int from = ymd.month == r.month0 ? ymd.day : 1;
        if (ymd.month > r.month0)
            ++y;
        for (int n = 0; n < kMaxYears && y <= 9999; ++n, ++y, from = 1) {
            Day hit = MatchInMonth(r, y, r.month0, from);
            if (hit != kNone) {
                k.c = hit;
                k.g = hit + 1;
                return k;
            }
        }
        return k;
    }
    default:
        return k;
    }
}

bool IsWeekRule(Kind k)
{
    return k == Kind::Weekly || k == Kind::MonthWeek || k == Kind::YearWeek;
}

// For the patterns that go on from the day after a candidate: the day after
// the last candidate in [low, Date - 1], or low when there is none. This is
// where a search that started at low and passed over the candidates before
// Date one by one would stand when it reaches the first candidate from Date.
Day FloorBeforeDate(const Rule& r, Day low)
{
    const Day end = r.date - 1;
    if (end < low)
        return low;
    switch (r.kind) {
    case Kind::Weekly:
        for (Day x = end; x >= low && x > end - 7; --x)
            if (r.weekdays & WeekdayBitOf(x))
                return x + 1;
        return low;
    case Kind::MonthWeek: {
        days::Ymd ymd = days::Decode(end);
        int y = ymd.year, m = ymd.month, to = ymd.day;
        for (int n = 0; n < kMaxYears * 12 && y >= 1; ++n) {
            Day hit = LastMatchInMonth(r, y, m, to);
            if (hit != kNone)
                return hit >= low ? hit + 1 : low;
            if (days::Encode(y, m, 1) <= low)
                return low;
            PrevMonth(y, m);
            to = days::DaysInMonth(y, m);
        }
        return low;
    }
    case Kind::YearWeek: {
        days::Ymd ymd = days::Decode(end);
        int y = ymd.year;
        int to = 31;
        if (ymd.month == r.month0)
            to = ymd.day;
        else if (ymd.month < r.month0)
            --y;
        for (int n = 0; n < kMaxYears && y >= 1; ++n, --y) {
            to = std::min(to, days::DaysInMonth(y, r.month0));
            Day hit = LastMatchInMonth(r, y, r.month0, to);
            if (hit != kNone)
                return hit >= low ? hit + 1 : low;
            if (days::Encode(y, r.month0, 1) <= low)
                return low;
            to = 31;
        }
        return low;
    }
    default:
        return low;
    }
}

// Where the search stands once it has passed over every candidate before
// Date (for the patterns whose later candidates are their own follow-up days).
Day FirstSearchDayFromDate(const Rule& r)
{
    switch (r.kind) {
    case Kind::MonthLast: {
        days::Ymd ymd = days::Decode(r.date);
        return LastDayOf(ymd.year, ymd.month);
    }
    case Kind::YearLast:
        return LastDayOf(days::Decode(r.date).year, r.month0);
    default:
        return r.date;
    }
}

bool IsPatternDay(const Pattern& r, const DayInfo& info)
{
    switch (r.kind) {
    case Kind::Daily:
        return true;
    case Kind::Weekly:
        return r.weekdays & info.weekdayBit;
    case Kind::MonthDay:
        return info.mday == r.day0;
    case Kind::MonthLast:
        return info.mday == info.monthDays;
    case Kind::MonthWeek:
        return (r.weekdays & info.weekdayBit) && (r.weeks & info.weekBit);
    case Kind::YearDay:
        return info.month == r.month0 && info.mday == r.day0;
    case Kind::YearLast:
        return info.month == r.month0 && info.mday == info.monthDays;
    case Kind::YearWeek:
        return info.month == r.month0 && (r.weekdays & info.weekdayBit) && (r.weeks & info.weekBit);
    default:
        return false;
    }
}

} // namespace

Pattern CompilePattern(const TEventData& item)
{
    Pattern r;
    r.date = item.Date;
    r.limit = item.LimitDate;
    r.hasExceptText = !item.ExceptDates.empty();
    const std::uint32_t R = item.Repeat;
    if (R == 0) {
        r.kind = Kind::Single;
        return r;
    }
    if (item.Date < days::kMinDay || item.Date > days::kMaxDay) {
        r.kind = Kind::Never;
        return r;
    }
    const days::Ymd d = days::Decode(item.Date);
    r.month0 = static_cast<std::uint8_t>(d.month);
    r.day0 = static_cast<std::uint8_t>(d.day);
    const RepeatFields repeat = Unpack(R);
    r.weekdays = ReverseBits(repeat.weekdays, 7);
    r.weeks = ReverseBits(repeat.weeks, 5);
    const std::uint8_t excluded = ReverseBits(repeat.excludedWeekdays, 7);
    r.allExcluded = repeat.excludedWeekdays == kAllWeekdays;
    // A weekday chosen in the mask is never excluded by the weekday rule.
    r.excludedWeekdays = repeat.useWeekdays ? excluded & ~r.weekdays : excluded;
    r.skipMonthEnd = repeat.skipMonthEnd && repeat.monthRule != MonthRule::LastDay;
    r.skipHolidays = repeat.skipHolidays;
    r.shift = repeat.shiftEarlier;

    // A week rule without weekdays, or a weekly item whose weekdays are not
    // in use, has nothing to search for.
    const bool weekdaysFound = r.weekdays != 0;
    auto byMonthRule = [&](Kind sameDay, Kind lastDay, Kind byWeek) {
        switch (repeat.monthRule) {
        case MonthRule::SameDay:
            return sameDay;
        case MonthRule::LastDay:
            return lastDay;
        default:
            return weekdaysFound ? byWeek : Kind::FixedDate;
        }
    };
    switch (*repeat.pattern) {
    case RepeatPattern::Daily:
        r.kind = Kind::Daily;
        break;
    case RepeatPattern::Weekly:
        r.kind = repeat.useWeekdays && weekdaysFound ? Kind::Weekly : Kind::FixedDate;
        break;
    case RepeatPattern::Monthly:
        r.kind = byMonthRule(Kind::MonthDay, Kind::MonthLast, Kind::MonthWeek);
        break;
    case RepeatPattern::Yearly:
        r.kind = byMonthRule(Kind::YearDay, Kind::YearLast, Kind::YearWeek);
        break;
    }
    return r;
}

Rule Compile(const TEventData& item)
{
    Rule r;
    static_cast<Pattern&>(r) = CompilePattern(item);
    r.repeat = item.Repeat;
    r.exceptText = item.ExceptDates;
    if (item.Repeat != 0 && !item.ExceptDates.empty()) {
        // One item at a time: only the dates are kept, however long the text.
        sjis::ForEachCommaItem(item.ExceptDates, [&](std::string& text) {
            days::Day day;
            if (TryStrToDay(text, day))
                r.exceptDays.push_back(day);
            return true;
        });
        std::sort(r.exceptDays.begin(), r.exceptDays.end());
        r.exceptDays.erase(std::unique(r.exceptDays.begin(), r.exceptDays.end()),
                           r.exceptDays.end());
    }
    return r;
}

bool IsUpToDate(const Rule& rule, const TEventData& item)
{
    return rule.date == item.Date && rule.repeat == item.Repeat && rule.limit == item.LimitDate &&
        rule.exceptText == item.ExceptDates;
}

const Rule& RuleOf(const TEventData& item)
{
    RuleSlot& slot = item.RuleCache;
    if (!slot.valid || !IsUpToDate(slot.rule, item)) {
        slot.rule = Compile(item);
        slot.valid = true;
    }
    return slot.rule;
}

bool IsExcluded(const Rule& r, Day day, const HolidayTest& isHoliday)
{
    if (r.allExcluded)
        return true;
    if (r.excludedWeekdays & WeekdayBitOf(day))
        return true;
    if (r.skipMonthEnd) {
        days::Ymd ymd = days::Decode(day);
        if (ymd.day == days::DaysInMonth(ymd.year, ymd.month))
            return true;
    }
    if (!r.exceptDays.empty() && std::binary_search(r.exceptDays.begin(), r.exceptDays.end(), day))
        return true;
    return r.skipHolidays && isHoliday && isHoliday(day);
}

Day Next(const Rule& r, Day a, const HolidayTest& isHoliday)
{
    switch (r.kind) {
    case Kind::Single:
    case Kind::FixedDate:
        return r.date;
    case Kind::Never:
        return kNone;
    default:
        break;
    }
    if (a > days::kMaxDay)
        return kNone;
    a = std::max(a, days::kMinDay);

    Day cur = a;
    // After a jump over the candidates before Date, the floor of a shift is
    // only known once it is needed.
    bool floorPending = false;
    Day floorLow = a;
    for (int n = 0; n < kMaxCandidates; ++n) {
        const Candidate k = Find(r, cur);
        if (k.c == kNone || k.c > days::kMaxDay)
            return kNone;
        if (k.c < r.date) {
            // Candidates before the first day are passed over; the search
            // goes on rather than giving up.
            if (cur < r.date) {
                if (IsWeekRule(r.kind)) {
                    floorPending = true;
                    floorLow = cur;
                }
                cur = FirstSearchDayFromDate(r);
            } else {
                cur = k.g;
            }
            continue;
        }
        if (r.limit > 0 && k.c > r.limit)
            return kNone;
        if (IsExcluded(r, k.c, isHoliday)) {
            if (r.shift) {
                // Move to the nearest earlier day that is not excluded, but
                // never before the day the search stands on.
                const Day floor = floorPending ? FloorBeforeDate(r, floorLow) : cur;
                Day day = k.c - 1;
                while (day >= floor && IsExcluded(r, day, isHoliday))
                    --day;
                if (day >= floor)
                    return day;
            }
        } else if (k.c >= cur) {
            return k.c;
        }
        cur = k.g;
        floorPending = false;
    }
    return kNone;
}

DayInfo::DayInfo(days::Day d) : day(d)
{
    days::Ymd ymd = days::Decode(d);
    year = ymd.year;
    month = ymd.month;
    mday = ymd.day;
    monthDays = days::DaysInMonth(year, month);
    weekdayBit = WeekdayBitOf(d);
    weekBit = static_cast<std::uint8_t>(1u << ((mday - 1) / 7));
    nextWeekdayBit = WeekdayBitOf(d + 1);
}

bool DayInfo::IsHoliday(const HolidayTest& test)
{
    if (holiday < 0)
        holiday = test && test(day) ? 1 : 0;
    return holiday;
}

bool DayInfo::NextIsHoliday(const HolidayTest& test)
{
    if (nextHoliday < 0)
        nextHoliday = test && test(day + 1) ? 1 : 0;
    return nextHoliday;
}

bool OccursOn(const Rule& r, DayInfo& info, const HolidayTest& isHoliday)
{
    switch (r.kind) {
    case Kind::Single:
    case Kind::FixedDate:
        return info.day == r.date;
    case Kind::Never:
        return false;
    default:
        break;
    }
    const Day day = info.day;
    if (day > days::kMaxDay || day < days::kMinDay)
        return false;
    if (r.limit > 0 && day > r.limit)
        return false;
    if (day >= r.date && IsPatternDay(r, info)) {
        // The search from a day of the pattern finds that day first; it
        // serves unless excluded, and a shift never goes before it.
        if (r.allExcluded || (r.excludedWeekdays & info.weekdayBit))
            return false;
        if (r.skipMonthEnd && info.mday == info.monthDays)
            return false;
        if (!r.exceptDays.empty() &&
            std::binary_search(r.exceptDays.begin(), r.exceptDays.end(), day))
            return false;
        return !(r.skipHolidays && info.IsHoliday(isHoliday));
    }
    // Any other day can only be reached by shifting a later candidate.
    if (!r.shift)
        return false;
    return Next(r, day, isHoliday) == day;
}

} // namespace recur

namespace recur {

bool MayOccurOn(const Pattern& p, DayInfo& info, const HolidayTest& isHoliday)
{
    switch (p.kind) {
    case Kind::Single:
    case Kind::FixedDate:
        return info.day == p.date;
    case Kind::Never:
        return false;
    default:
        break;
    }
    const Day day = info.day;
    if (day > days::kMaxDay || day < days::kMinDay)
        return false;
    if (p.limit > 0 && day > p.limit)
        return false;
    // No answer is ever an excluded day.
    if (p.allExcluded || (p.excludedWeekdays & info.weekdayBit) ||
        (p.skipMonthEnd && info.mday == info.monthDays))
        return false;
    if (day >= p.date && IsPatternDay(p, info))
        return true;
    if (!p.shift)
        return false;
    // A shift lands on the day only from an excluded day after it.
    if (p.excludedWeekdays & info.nextWeekdayBit)
        return true;
    if (p.skipMonthEnd && info.mday + 1 == info.monthDays)
        return true;
    if (p.hasExceptText)
        return true;
    return p.skipHolidays && info.NextIsHoliday(isHoliday);
}

} // namespace recur
