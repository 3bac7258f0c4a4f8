#pragma once

// The date a person types to jump the calendar to: a year, optionally a month
// and a day, joined by one kind of separator ("2005", "2005/2", "2005-2-30",
// "3/15"). Parts that do not fit keep the current date's part.

#include "core/days.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Skips the characters from pos that are not decimal digits and reads the
// digits after them into value (0 when there are none); pos ends after the
// digits. False when the digits do not fit in 32 bits.
bool ParseNumber(std::string_view text, std::size_t& pos, std::int32_t& value);

// The date a typed text (Shift_JIS) leads to from the current date. A number
// of 1900 or more is the year, 1..12 the month, and a day beyond the month's
// end is its last day. False, and no move, for mixed or unknown separators
// (such as "年" after the year), a year above 9999 or a number too long to
// read.
bool ParseDirectDate(std::string_view text, days::Day current, days::Day& out);
