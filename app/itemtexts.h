#pragma once

// Texts the main window's item commands show about one item: the question
// before it is deleted and its caption in the per-day menus. Shift_JIS.

#include "core/eventdata.h"

#include <string>

// "次の[繰返し]予定を削除します。よろしいですか？", then the date (a series:
// its start, "～" and its end when it has one), then the times and the
// subject, on three lines joined by CR LF.
std::string DeleteQuestion(const TEventData& item);

// The start time (or, for an item without time, the day's "mm/dd"), a blank,
// at most 32 bytes of the subject (never half a character) and "...".
std::string DayMenuCaption(const TEventData& item, days::Day day);
