#pragma once

// An item's recurrence as named fields, and the one place that knows where
// each field lives in the Repeat word stored in schedule files. The entry
// dialog fills and reads a RepeatFields; the recurrence engine compiles its
// rules from one; nothing outside the core shifts or masks the word.

#include <cstdint>
#include <initializer_list>
#include <optional>

// The layout of TEventData::Repeat (bit 0 the least significant). The core
// alone reads these; everyone else goes through recur::Pack and Unpack.
namespace rp {
constexpr std::uint32_t WeekdayMask = 0x7F; // bit 7 - DayOfWeek
constexpr std::uint32_t UseWeekdays = 1u << 7; // the weekday mask is in use
constexpr std::uint32_t LastDay = 1u << 8; // last day of the month
constexpr int WeekShift = 9;
constexpr std::uint32_t WeekMask = 0x1Fu << WeekShift; // bit 13 week 1 .. bit 9 week 5
constexpr int PatternShift = 14;
constexpr std::uint32_t PatternMask = 3u << PatternShift; // 0 daily, 1 weekly, 2 monthly, 3 yearly
constexpr int ExcludedShift = 16;
constexpr std::uint32_t ExcludedWeekdays = WeekdayMask << ExcludedShift;
constexpr std::uint32_t SkipHolidays = 1u << 23;
constexpr std::uint32_t SkipMonthEnd = 1u << 24;
constexpr std::uint32_t Repeating = 1u << 30; // set on every repeating item
constexpr std::uint32_t ShiftEarlier = 1u << 31;

constexpr std::uint32_t Daily = 0u << PatternShift;
constexpr std::uint32_t Weekly = 1u << PatternShift;
constexpr std::uint32_t Monthly = 2u << PatternShift;
constexpr std::uint32_t Yearly = 3u << PatternShift;

// The weekday bit (in the mask or, shifted by ExcludedShift, among the
// excluded days) of a DayOfWeek value 1 (Sunday) .. 7 (Saturday).
constexpr std::uint32_t WeekdayBit(int dayOfWeek)
{
    return 1u << (7 - dayOfWeek);
}
// The week-of-month bit of week 1..5.
constexpr std::uint32_t WeekBit(int week)
{
    return 1u << (WeekShift + 5 - week);
}
} // namespace rp

namespace recur {

// The stored values 0..3, the order of the entry dialog's pattern choice.
enum class RepeatPattern : std::uint8_t { Daily, Weekly, Monthly, Yearly };

// How a monthly or yearly item picks its day, in the order of the entry
// dialog's month options.
enum class MonthRule : std::uint8_t {
    SameDay, // the day (and for yearly items the month) of the item's date
    LastDay, // the last day of the month
    ByWeek, // the chosen weekdays in the chosen weeks of the month
};

// A set of weekdays: bit 6 Sunday .. bit 0 Saturday, the order of the
// dialog's weekday grids (their first cell is the most significant bit).
using WeekdaySet = std::uint8_t;
constexpr WeekdaySet kAllWeekdays = 0x7F;
// The set of weekdays given by DayOfWeek 1 (Sunday) .. 7 (Saturday).
constexpr WeekdaySet Weekdays(std::initializer_list<int> daysOfWeek)
{
    WeekdaySet set = 0;
    for (int day : daysOfWeek)
        set |= static_cast<WeekdaySet>(rp::WeekdayBit(day));
    return set;
}

// A set of weeks of the month: bit 4 week 1 (days 1-7) .. bit 0 week 5
// (days 29-31), the order of the dialog's week grid.
using WeekSet = std::uint8_t;
// The set of the weeks 1..5 given.
constexpr WeekSet Weeks(std::initializer_list<int> weeks)
{
    WeekSet set = 0;
    for (int week : weeks)
        set |= static_cast<WeekSet>(1u << (5 - week));
    return set;
}

struct RepeatFields
{
    // Empty only while nothing is chosen in the dialog; Unpack always gives
    // one, and Pack writes an empty one as daily.
    std::optional<RepeatPattern> pattern = RepeatPattern::Daily;
    // Read for every pattern: a last-day rule also lifts skipMonthEnd.
    MonthRule monthRule = MonthRule::SameDay;
    WeekdaySet weekdays = 0;
    // The weekday set counts: weekly items, and monthly or yearly ones by
    // week. A weekday chosen in a set in use is never excluded.
    bool useWeekdays = false;
    // Packed unless the month rule is SameDay.
    WeekSet weeks = 0;
    WeekdaySet excludedWeekdays = 0;
    bool skipHolidays = false;
    // Occurrences on the last day of a month are dropped, unless the month
    // rule is LastDay.
    bool skipMonthEnd = false;
    // An excluded occurrence moves to the nearest earlier day that is not
    // excluded instead of being dropped.
    bool shiftEarlier = false;

    bool operator==(const RepeatFields&) const = default;
};

// Any word, the repeating bit and the bits always 0 aside, comes back from
// Pack(Unpack(word)) unchanged. Pack always sets the repeating bit, so a
// single item (word 0) is no RepeatFields: callers store 0 for it themselves.
RepeatFields Unpack(std::uint32_t word);
std::uint32_t Pack(const RepeatFields& repeat);

// Patterns for which the month rule counts.
bool HasMonthRule(std::optional<RepeatPattern> pattern);
// The pattern and month rule ask for weekdays: weekly, or monthly or yearly
// by week.
bool AsksForWeekdays(const RepeatFields& repeat);

// What the entry dialog refuses to store, checked in this order.
enum class RepeatConflict : std::uint8_t {
    NoPattern,
    LastDayExcluded, // month ends excluded while the month rule is the last day
    NoWeekday, // weekdays asked for, none chosen
    WeekdayChosenAndExcluded,
    AllWeekdaysExcluded, // for every pattern
};

std::optional<RepeatConflict> Check(const RepeatFields& repeat);

} // namespace recur
