#pragma once

// Holiday rules: national holidays, company days off, anniversaries and other
// marked days, read from the rule files ".hol" (public) and ".phd" (personal).
// The program never writes these files.

#include "core/days.h"
#include "core/kyureki.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Rule kinds: 0 and 1 are days off, 3 an anniversary, the others marked days
// (4 italic, 5 bold).
struct THolidayRec
{
    std::uint8_t Kind = 0;
    // Week rules: weekday mask (bit 0 Sunday .. bit 6 Saturday); solar-term
    // rules: the solar-term index.
    std::uint8_t WeekDays = 0;
    // High byte: month (0 = every month). Low byte: day of month, 0 for a
    // solar-term rule, or with bit 7 set a week rule (bit 6 set: bits 0..4 are
    // a mask of occurrences; clear: bits 0..5 give the n-th occurrence).
    std::uint16_t DaySpec = 0;
    std::int32_t FromYear = 0;
    std::int32_t ToYear = 0;
    std::string Name; // Shift_JIS
};

// Name colours per kind ($00BBGGRR), shared by every holiday list. Only a
// colour line of a rule file changes them, kind 0 never; they are never reset.
const std::array<std::uint32_t, 8>& HolidayKindColors();

class THolidayList
{
public:
    THolidayList();

    // Reads a rule file and sorts the rules. A missing file reads nothing; a
    // line that does not make a rule is skipped and the rest is read. Returns
    // false only when the file exists but cannot be read (error says why).
    bool LoadFromFile(const std::string& path, std::string* error = nullptr);
    // Reads rule-file text (CR LF or LF lines) without sorting.
    void LoadFromText(const std::string& text);
    // Replaces the rule with the same DaySpec and Name whose years overlap
    // the new rule's (so a personal file overrides a public rule), or appends
    // a copy. Returns the rule's index.
    int AddRule(const THolidayRec& rule);
    // Frees the rules and empties the day list; colours and flag stay.
    void Clear();
    // By DaySpec ascending, then Kind descending, then Name.
    void SortRules();

    int Count() const { return static_cast<int>(rules_.size()); }
    const THolidayRec& Rule(int index) const { return *rules_[index]; }

    // Whether the rule holds on the date; solarTerm is SolarTermOfDate(date).
    static bool Matches(const THolidayRec& rule, int solarTerm, days::Day date);

    // Rebuilds the day list for the date (kinds descending, then names),
    // adding the substitute holiday where the law gives one. Returns whether
    // the day is a day off.
    bool SelectDay(days::Day date);
    int DayCount() const { return static_cast<int>(dayList_.size()); }
    // Entry of the day list, or nullptr outside it.
    const THolidayRec* DayItem(int index) const;

    // True when a rule of kind 0 or 1 holds on the date.
    bool IsHoliday(days::Day date) const;
    // True when the date is a substitute holiday ("振替休日") by the law in
    // force: none before 1973-04-12; until 2006 the Monday after a Sunday
    // that is a day off; from 2007 the first day after such a Sunday that is
    // not itself a day off.
    bool IsSubstituteHoliday(days::Day date) const;
    // The day-off test that the schedule store uses for its skip-holidays
    // recurrence: a rule day off or a substitute holiday.
    bool IsDayOff(days::Day date) const { return IsHoliday(date) || IsSubstituteHoliday(date); }

    // The names of the day, one per line (CR LF) in rule order; anniversaries
    // with ":years". Empty for a date without rules (or below day 0, which
    // the calendar's header row passes).
    std::string HintText(days::Day date) const;
    // A rule's name as shown on a date: for an anniversary (kind 3) the name,
    // ":" and the years from FromYear to the date's year.
    static std::string DisplayName(const THolidayRec& rule, days::Day date);

    // Whether anniversaries (kind 3) are listed.
    bool DispEvent3 = false;

    // The built-in rule that the day list carries on a substitute holiday.
    const THolidayRec& SubstituteRule() const { return substitute_; }

    TKyureki& Kyureki() { return kyureki_; }

private:
    void LoadLine(const std::string& line);

    std::vector<std::unique_ptr<THolidayRec>> rules_;
    std::vector<const THolidayRec*> dayList_;
    THolidayRec substitute_;
    TKyureki kyureki_;
};
