#include "core/days.h"

#include <cstdio>
#include <ctime>

namespace days {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

Ymd CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Ymd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 1970-01-01 is day 25569.
constexpr std::int64_t kUnixEpochDay = 25569;

ClockSource& Source()
{
    static ClockSource source;
    return source;
}

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int table[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return table[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

Day Encode(int year, int month, int day)
{
    return static_cast<Day>(DaysFromCivil(year, static_cast<unsigned>(month),
                                          static_cast<unsigned>(day)) +
                            kUnixEpochDay);
}

bool TryEncode(int year, int month, int day, Day& out)
{
    if (!IsValidDate(year, month, day))
        return false;
    out = Encode(year, month, day);
    return true;
}

Ymd Decode(Day day)
{
    return CivilFromDays(static_cast<std::int64_t>(day) - kUnixEpochDay);
}

int DayOfWeek(Day day)
{
    // Day 0 is a Saturday (7).
    int r = static_cast<int>((static_cast<std::int64_t>(day) + 6) % 7);
    if (r < 0)
        r += 7;
    return r + 1;
}

std::string Format(Day day)
{
    Ymd d = Decode(day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
    return buf;
}

std::string FormatIso(Day day)
{
    Ymd d = Decode(day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

Moment FromUnixLocal(std::int64_t unixSeconds)
{
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return MomentOf(Encode(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday)) +
           tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

Moment Now()
{
    if (Source())
        return Source()();
    return FromUnixLocal(static_cast<std::int64_t>(std::time(nullptr)));
}

Day Today()
{
    return DayOf(Now());
}

void SetClock(ClockSource source)
{
    Source() = std::move(source);
}

FixedClock::FixedClock(Moment m) : now_(std::make_shared<Moment>(m)), previous_(Source())
{
    auto now = now_;
    SetClock([now] { return *now; });
}

FixedClock::~FixedClock()
{
    SetClock(std::move(previous_));
}

} // namespace days
