#pragma once

// Day numbers and moments. Day 0 is 1899-12-30 (a Saturday); a moment is a
// whole number of seconds since 1899-12-30 00:00 local time, so that no
// computation ever truncates a fraction of a day.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace days {

using Day = std::int32_t;
using Moment = std::int64_t;

constexpr Moment kSecondsPerDay = 86400;
constexpr Day kMinDay = -693593; // 0001-01-01
constexpr Day kMaxDay = 2958465; // 9999-12-31
// The days the calendar shows, 1900-01-01 to 9999-12-31: items are made and
// moved only within them (day -1 also means "no date").
constexpr Day kFirstShownDay = 2;
constexpr Day kLastShownDay = kMaxDay;
constexpr bool IsShown(Day day)
{
    return day >= kFirstShownDay && day <= kLastShownDay;
}

struct Ymd
{
    int year = 0;
    int month = 0;
    int day = 0;
};

bool IsLeapYear(int year);
// Days of the month (28..31); 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// True when the date exists and the year lies in 1..9999.
bool IsValidDate(int year, int month, int day);
// Day number of a date that IsValidDate accepts (callers check first).
Day Encode(int year, int month, int day);
// Day number of a date; false when the date does not exist or the year is
// outside 1..9999.
bool TryEncode(int year, int month, int day, Day& out);
Ymd Decode(Day day);
// 1 for Sunday .. 7 for Saturday.
int DayOfWeek(Day day);
// "yyyy/mm/dd"
std::string Format(Day day);
// "yyyy-mm-dd"
std::string FormatIso(Day day);

constexpr Day DayOf(Moment m)
{
    return static_cast<Day>(m >= 0 ? m / kSecondsPerDay
                                   : -((-m + kSecondsPerDay - 1) / kSecondsPerDay));
}
constexpr Moment MomentOf(Day day, std::int64_t minutes = 0)
{
    return static_cast<Moment>(day) * kSecondsPerDay + minutes * 60;
}
// Seconds since local midnight of the moment's day.
constexpr std::int64_t SecondsOfDay(Moment m)
{
    return m - static_cast<Moment>(DayOf(m)) * kSecondsPerDay;
}

// The one clock of the system. Tests install their own source of "now".
Moment Now();
Day Today();
using ClockSource = std::function<Moment()>;
// Installs a clock; an empty function restores the system clock.
void SetClock(ClockSource source);

// Fixes the clock at a moment for the lifetime of the object (tests); the
// clock that was in force before comes back after it, so fixed clocks nest.
class FixedClock
{
public:
    explicit FixedClock(Moment m);
    ~FixedClock();
    void Set(Moment m) { *now_ = m; }
    void Advance(std::int64_t seconds) { *now_ += seconds; }
    Moment Get() const { return *now_; }

private:
    std::shared_ptr<Moment> now_;
    ClockSource previous_;
};

// The moment of a local time_t, and back.
Moment FromUnixLocal(std::int64_t unixSeconds);

} // namespace days
