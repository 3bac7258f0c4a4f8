#pragma once

// The compiled form of an item's recurrence (see core/recurrence.h). Kept
// apart so that the item record can hold its own cached copy.

#include "core/days.h"

#include <cstdint>
#include <string>
#include <vector>

namespace recur {

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

// What decides the days of an item, in a few bytes.
struct Pattern
{
    days::Day date = 0;
    days::Day limit = -1;
    Kind kind = Kind::Single;
    std::uint8_t month0 = 0; // month and day of Date
    std::uint8_t day0 = 0;
    std::uint8_t weekdays = 0; // bit DayOfWeek - 1
    std::uint8_t weeks = 0; // bit week - 1
    std::uint8_t excludedWeekdays = 0; // effective: never one of the mask
    bool allExcluded = false;
    bool skipMonthEnd = false;
    bool skipHolidays = false;
    bool shift = false;
    bool hasExceptText = false;
};

struct Rule : Pattern
{
    // What the rule was made from, besides date and limit.
    std::uint32_t repeat = 0;
    std::string exceptText;
    std::vector<days::Day> exceptDays; // sorted
};

// The rule cached with a heap item. It is never copied with the record: a
// copy starts without one, and an assignment drops the target's.
class RuleSlot
{
public:
    RuleSlot() = default;
    RuleSlot(const RuleSlot&) { }
    RuleSlot& operator=(const RuleSlot&)
    {
        valid = false;
        return *this;
    }

    Rule rule;
    bool valid = false;
};

} // namespace recur
