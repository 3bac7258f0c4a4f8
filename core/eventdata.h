#pragma once

// The schedule item record and the small functions that turn its fields into
// text and back and decide its alarm state. All text is Shift_JIS.

#include "core/days.h"
#include "core/recurrule.h"
#include "core/repeatfields.h"

#include <cstdint>
#include <string>
#include <string_view>

// Colour value: $00BBGGRR for an RGB colour, $80000000 plus an index for a
// system colour (the same type as gui/colors.h).
using TColor = std::int32_t;

// The system window-text colour.
constexpr TColor kWindowTextColor = static_cast<TColor>(0x80000008u);

struct TEventData
{
    bool Alarmed = false;
    // The moment the alarm of the current occurrence rings; 0 for none.
    days::Moment AlarmTime = 0;
    bool HasTime = false;
    // Bit 0 secret, bit 1 company; 4 is shown by every category filter.
    std::int32_t KindBits = 0;
    // 0 none, 1 normal, 2 medium, 3 high, 4 deadline (a to-do item).
    std::int32_t Priority = 0;
    bool Done = false;
    bool Cancelled = false;
    bool Exported = false;
    bool NoExport = false;
    days::Day Date = 0;
    days::Day NextDate = -1;
    // Minutes after midnight; 1440 and more fall on the next day. -1 none.
    std::int32_t StartTime = -1;
    std::int32_t EndTime = -1;
    // 0 for a single item; else the recurrence, read by recur::Unpack.
    std::uint32_t Repeat = 0;
    days::Day LimitDate = -1;
    days::Day UpdateDate = 0;
    TColor FontColor = kWindowTextColor;
    TColor BackColor = -1;
    std::string Subject;
    std::string Place;
    // Category text: name[:fg[:bg]] with hexadecimal colours.
    std::string DataType;
    std::string MailID;
    std::string MailKey;
    std::string MailFolder;
    bool OpenMail = false;
    std::int32_t AlarmBefore = 0;
    // 0 minutes, 1 hours, 2 days before.
    std::int32_t AlarmUnit = 0;
    std::string Memo;
    // Comma text of excluded dates "yyyy/mm/dd".
    std::string ExceptDates;

    // Identity of a heap item in the store: given by the store when it adds
    // the item, kept by updates, unique for the store's lifetime. A copy
    // carries it, so a dialog's copy names its original; 0 for a record that
    // was never in a store.
    std::uint64_t Id = 0;

    mutable recur::RuleSlot RuleCache;
};
using PEventData = TEventData*;

// True when the calendar can show the item: its date is one of the days it
// shows (days::IsShown). Whatever makes or moves an item keeps to them; a
// file may hold others, which are kept as they are.
bool IsShownItem(const TEventData& item);

// Alarm unit names ("分前", "時間前", "日前") by AlarmUnit.
const std::string& AlarmUnitName(int unit);
// The three unit names joined by ",".
std::string AlarmUnitList();
// The six alarm presets by index ("無し", "5@分前", ...).
const std::string& AlarmPreset(int index);

// The text cut to at most n bytes without splitting a double-byte character
// (the result may be one byte shorter than n). n <= 0 or n >= the length gives
// the whole text.
std::string LeftStrBytes(std::string_view text, int n);

// An alarm text "N@unit" or a preset index "0".."5" into amount and unit.
// Anything else gives no alarm (0, 0); the result tells whether the text was
// one of the two forms (a preset index out of range, or a text that is no
// number, is not).
bool ParseAlarm(std::string_view text, std::int32_t& amount, std::int32_t& unit);
// The alarm text of an item: amount, "@" and the unit name.
std::string AlarmText(std::int32_t amount, std::int32_t unit);

// The category name: the text up to the first ":".
std::string KindName(std::string_view kind);
// Hexadecimal colour (at most 8 digits); -1 when empty or not hexadecimal.
TColor HexToColor(std::string_view text);
// Name and colours of a category text. A bare name gives the window-text
// colour; a colour part that is not hexadecimal gives -1.
void ParseKind(std::string_view kind, std::string& name, TColor& fontColor, TColor& backColor);

// "hh:mm" with two or more hour digits: 545 gives "09:05", 1500 "25:00".
std::string MinutesToStr(std::int32_t minutes);
// A negative value as a number ("-1"), else MinutesToStr.
std::string TimeText(std::int32_t minutes);
// "h", "h:" or "h:m" into minutes; the empty text gives 0; anything else, or
// a value beyond the 32-bit range, gives -1.
std::int32_t StrToMinutes(std::string_view text);
// "y/m/d" (or with "-" or "." as the one separator) into a day number; text
// after the day is ignored. -1 when the text is no date, names an impossible
// date or a year outside 1..9999.
days::Day StrToDay(std::string_view text);
// The same, telling failure apart from the day number -1.
bool TryStrToDay(std::string_view text, days::Day& day);

// The start moment of the item on a day (09:00 when it has no time).
days::Moment EventStartTime(const TEventData& item, days::Day day);
// The moment from which the occurrence on a day counts as past for the alarm
// (18:00 without time); 0 when the item has no alarm.
days::Moment AlarmBaseTime(const TEventData& item, days::Day day);
// The moment the alarm of the occurrence on a day rings: the start (09:00
// without time) less the lead in minutes or hours, or midnight of the day
// less the lead in days; 0 when the item has no alarm.
days::Moment AlarmMoment(const TEventData& item, days::Day day);
bool IsOpenDeadline(const TEventData& item);
// 0 no alarm, 1 finished, 2 over, 3 due, 4 pending, 5 alarmed and still ahead,
// 6 a later occurrence.
int AlarmState(const TEventData* item, days::Day day);
// Makes day the current occurrence and computes its alarm.
void SetOccurrence(TEventData& item, days::Day day);
int MonthDays(int year, int month);
