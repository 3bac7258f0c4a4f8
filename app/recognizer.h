#pragma once

// Recognizes the first time range, the first date and the first place in free
// Japanese text (Shift_JIS bytes), so that the entry dialog can fill a new item
// from a mail or pasted text, and offer the same from a memo selection.
//
// Everything here is pure: no controls, no clock. The dialog passes "today"
// and moves the results into its controls.

#include "core/days.h"

#include <optional>
#include <string>
#include <string_view>

// A date as the text wrote it; a field of 0 was not given.
struct TParsedDate
{
    int year = 0; // 0, a two-digit year (1-99) or a full year up to 9999
    int month = 0; // may lie outside 1-12; resolution then takes this month
    int day = 0; // may not exist in the month; resolution then takes today's day
    bool Found() const { return year != 0 || month != 0 || day != 0; }
};

struct TParsedText
{
    int begin = 0; // minutes after midnight; 0 = no time found
    int end = 0; // minutes; always after begin when a time was found
    TParsedDate date;
    std::string place; // Shift_JIS, one line, trimmed; empty = none
    bool HasTime() const { return begin + end > 0; }
    bool HasDate() const { return date.Found(); }
    bool HasPlace() const { return !place.empty(); }
};

// Scans the text for a time range, a date and a place written after "場所" or
// "会場". The text ends at its end or at its first NUL byte.
TParsedText ParseText(std::string_view text);

// The day a recognized date stands for: missing or impossible parts come from
// today (year, month, day); two-digit years below 90 are 20xx, the others
// 19xx; a day that still does not exist in the month becomes its last day.
// None when nothing was found or no real date of the days the calendar
// shows results.
std::optional<days::Day> ResolveParsedDate(const TParsedDate& date, days::Day today);

// What the recognizer may put into the entry dialog; these are the tags of the
// memo's context menu items.
enum TParseApply : int {
    paSubject = 0, // the selected text becomes the subject
    paPlace = 1, // the selected text becomes the place
    paTime = 2, // the time range (and a recognized place)
    paDate = 3, // the date
    paAll = 4, // place, time and date at once
};
constexpr int kMemoMenuCopyTag = 100;
constexpr int kMemoMenuPasteTag = 101;

// The control changes for one apply kind. An empty optional leaves that
// control as it is.
struct TParsedChanges
{
    std::optional<std::string> subject; // Subject text
    std::optional<std::string> place; // Place text
    std::optional<bool> noTime; // NoTimeCheck; when false, set the range below
    int begin = 0;
    int end = 0;
    std::optional<days::Day> date; // KeepDate (then its date-change rule)
};

// Resolves a scan for the dialog. selection is the text the scan ran on when
// it came from the memo menu (used by paSubject and paPlace). Unknown kinds
// change nothing.
TParsedChanges ResolveParsed(const TParsedText& parsed, std::string_view selection, int kind,
                             days::Day today);

// Which memo menu items are enabled at a pop-up, after ParseText ran on the
// memo selection.
struct TMemoMenuState
{
    bool subject = false; // "件名にコピー"
    bool place = false; // "場所にコピー"
    bool time = false; // "時間に変換"
    bool date = false; // "日付に変換"
    bool all = false; // "まとめて変換"
    bool copy = false; // "コピー(&C)"
    bool paste = false; // "貼り付け(&V)"
};
TMemoMenuState MemoMenuState(std::string_view selection, const TParsedText& parsed,
                             bool clipboardHasText);

// A new item pre-filled from its subject and memo: the date given to the
// dialog unless the text names one, the recognized place, and the time range
// (untimed when the text has none).
struct TNewEventFill
{
    days::Day date = 0;
    std::string place;
    int startTime = 0;
    int endTime = 0;
    bool hasTime = false;
};
TNewEventFill PrefillNewEvent(std::string_view subject, std::string_view memo, days::Day date,
                              days::Day today);
