#pragma once

// The recurrence engine: on which days a schedule item occurs. An item's
// Repeat word is compiled once into a Rule (kept with the heap item), so that
// asking about a day needs no parsing and, in the common case, no date
// conversion.

#include "core/eventdata.h"

#include <cstdint>
#include <functional>

namespace recur {

using HolidayTest = std::function<bool(days::Day)>;

// The pattern alone (no excluded dates read).
Pattern CompilePattern(const TEventData& item);
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
    std::uint8_t nextWeekdayBit; // of the day after
    int nextHoliday = -1;
    bool IsHoliday(const HolidayTest& test);
    bool NextIsHoliday(const HolidayTest& test);
};

// Next(rule, info.day) == info.day, answered without a search where possible.
bool OccursOn(const Rule& rule, DayInfo& info, const HolidayTest& isHoliday);
// False when the item surely does not occur on the day; true when it may
// (OccursOn decides). Reads the pattern alone.
bool MayOccurOn(const Pattern& pattern, DayInfo& info, const HolidayTest& isHoliday);

} // namespace recur
