#pragma once

// How a failed comparison of two recurrences reads in a test's output.

#include "core/repeatfields.h"

#include <ostream>

namespace recur {

inline void PrintTo(const RepeatFields& s, std::ostream* out)
{
    *out << "{pattern " << (s.pattern ? static_cast<int>(*s.pattern) : -1) << ", month rule "
         << static_cast<int>(s.monthRule) << ", weekdays " << static_cast<int>(s.weekdays)
         << (s.useWeekdays ? " in use" : "") << ", weeks " << static_cast<int>(s.weeks)
         << ", excluded " << static_cast<int>(s.excludedWeekdays)
         << (s.skipHolidays ? ", holidays" : "") << (s.skipMonthEnd ? ", month end" : "")
         << (s.shiftEarlier ? ", shift" : "") << "}";
}

} // namespace recur
