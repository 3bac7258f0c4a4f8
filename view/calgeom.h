#pragma once

// The arithmetic of the calendar grid: how seven cells share the width (or
// the week grid's height), how the month grid's six day rows share the
// height, where a month or week grid starts, and the dates that navigation
// leads to. Pure functions, so that layout questions need no widget.

#include "core/days.h"

#include <array>

namespace calgeom {

// Sizes of seven cells sharing total pixels, each followed by a grid line of
// lineWidth. Without thinHoliday the cells get equal shares, the later ones
// taking the remainder; with it Sunday and Saturday get a tenth each.
// startOfWeek (0 = Sunday) is the weekday of the first cell. Never negative.
std::array<int, 7> CellSizes(int total, int lineWidth, bool thinHoliday, int startOfWeek);

// Heights of the month grid's six day rows sharing rest pixels: earlier rows
// get the smaller share. Never negative.
std::array<int, 6> DayRowHeights(int rest);

days::Day FirstOfMonth(days::Day date);
// The first day cell of a month grid: the start of the week holding the
// first of the month, a whole week earlier when the month starts the week,
// so that the first row always shows a day of the month before.
days::Day MonthGridStart(days::Day firstOfMonth, int startOfWeek);
// The start of the week that holds the date.
days::Day WeekGridStart(days::Day date, int startOfWeek);

// The date a page move leads to: in the month grid, the shown month moved by
// pages months with the day of the current date; in the week grid the
// current date moved by pages weeks. Then years are added and the day is cut
// to the month's length. False when the result leaves the days the calendar
// shows (days::IsShown).
bool MoveTarget(bool weekly, days::Day firstOfMonth, days::Day current, int years, int pages,
                days::Day& out);

enum class DatePart { Year, Month, Day };
// The date with one part replaced, the day cut to the month's length. False
// (nothing to do) when the value is invalid (below 1, a year below 1900 or
// above 9999, a month above 12, a day beyond the current month) or unchanged.
bool ReplaceDatePart(days::Day current, DatePart part, int value, days::Day& out);

} // namespace calgeom
