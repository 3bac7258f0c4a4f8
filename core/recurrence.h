#pragma once

// The recurrence engine: on which days a schedule item occurs. An item's
// Repeat word is compiled once into a Rule (kept with the heap item), so that
// asking about a day needs no parsing and, in the common case, no date
// conversion.

#include "core/eventdata.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace recur {

using HolidayTest = std::function<bool(days::Day)>;

enum class Kind : std::uint8_t {
    Single, // occurs on its Date alone
    FixedDate, // a repeating word without usable days: answers its Date
    Never, // a repeating item whose Date lies outside the calendar
    Daily,
    Weekly,
    MonthDay, // the same day of every month
    MonthLast, // the last day of every month
    MonthWeek, // weeks of the month and weekdays
    YearDay, // the same date every year
    YearLast, // the last day of the item's month every year
    YearWeek, // weeks and weekdays of the item's month every year
};

struct Rule
{
    // What the rule was made from.
    days::Day date = 0;
    std::uint32_t repeat = 0;
    days::Day limit = -1;
    std::string exceptText;

    Kind kind = Kind::Single;
    int month0 = 0; // month and day of Date
    int day0 = 0;
    std::uint8_t weekdays = 0; // bit DayOfWeek - 1
    std::uint8_t weeks = 0; // bit week - 1
    std::uint8_t excludedWeekdays = 0; // effective: never one of the mask
    bool allExcluded = false;
    bool skipMonthEnd = false;
    bool skipHolidays = false;
    bool shift = false;
    std::vector<days::Day> exceptDays; // sorted
};

Rule Compile(const TEventData& item);
bool IsUpToDate(const Rule& rule, const TEventData& item);
// The item's rule, compiled on first use and again after its fields changed.
const Rule& RuleOf(const TEventData& item);

// The first occurrence day on or after day a, or -1.
days::Day Next(const Rule& rule, days::Day a, const HolidayTest& isHoliday);
bool IsExcluded(const Rule& rule, days::Day day, const HolidayTest& isHoliday);

// A day with what the rules ask about it, computed once for many items.
struct DayInfo
{
    explicit DayInfo(days::Day d);
    days::Day day;
    int year, month, mday, monthDays;
    std::uint8_t weekdayBit; // 1 << (DayOfWeek - 1)
    std::uint8_t weekBit; // 1 << ((mday - 1) / 7)
    int holiday = -1; // -1 not asked yet
};

// Next(rule, info.day) == info.day, answered without a search where possible.
bool OccursOn(const Rule& rule, DayInfo& info, const HolidayTest& isHoliday);

} // namespace recur
