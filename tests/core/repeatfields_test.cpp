// The Repeat word and its named fields: stored words read as the fields they
// mean and come back unchanged, and the entry dialog's conflicts.

#include "core/repeatfields.h"
#include "support/repeatfields_print.h"
#include "support/sample_schedule.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using recur::MonthRule;
using recur::RepeatConflict;
using recur::RepeatFields;
using recur::RepeatPattern;
using recur::Weekdays;
using recur::Weeks;

constexpr int Sun = 1, Mon = 2, Tue = 3, Wed = 4, Fri = 6, Sat = 7;

} // namespace

// Words of the schedule files and dialog cases in the tests, and what they
// say.
TEST(RepeatFields, StoredWordsReadAsTheirFieldsAndComeBack)
{
    const std::pair<std::uint32_t, RepeatFields> cases[] = {
        { 0x400040A0,
          { .pattern = RepeatPattern::Weekly,
            .weekdays = Weekdays({ Mon }),
            .useWeekdays = true } },
        { 0xC00040A0,
          { .pattern = RepeatPattern::Weekly,
            .weekdays = Weekdays({ Mon }),
            .useWeekdays = true,
            .shiftEarlier = true } },
        { 0x400040A8,
          { .pattern = RepeatPattern::Weekly,
            .weekdays = Weekdays({ Mon, Wed }),
            .useWeekdays = true } },
        { 0x40008000, { .pattern = RepeatPattern::Monthly } },
        { 0x40008100, { .pattern = RepeatPattern::Monthly, .monthRule = MonthRule::LastDay } },
        { 0x40009490,
          { .pattern = RepeatPattern::Monthly,
            .monthRule = MonthRule::ByWeek,
            .weekdays = Weekdays({ Tue }),
            .useWeekdays = true,
            .weeks = Weeks({ 2, 4 }) } },
        { 0x4000C000, { .pattern = RepeatPattern::Yearly } },
        { 0x40000000, { .pattern = RepeatPattern::Daily } },
        { 0x40800000, { .pattern = RepeatPattern::Daily, .skipHolidays = true } },
        { 0xC0410000,
          { .pattern = RepeatPattern::Daily,
            .excludedWeekdays = Weekdays({ Sun, Sat }),
            .shiftEarlier = true } },
        { 0x41008000, { .pattern = RepeatPattern::Monthly, .skipMonthEnd = true } },
        // Both day rules: the last day wins and the weeks are kept.
        { 0x40008500,
          { .pattern = RepeatPattern::Monthly,
            .monthRule = MonthRule::LastDay,
            .weeks = Weeks({ 4 }) } },
    };
    for (const auto& [word, repeat] : cases) {
        SCOPED_TRACE(word);
        EXPECT_EQ(recur::Unpack(word), repeat);
        EXPECT_EQ(recur::Pack(repeat), word);
    }
    for (std::uint32_t word : benchdata::RepeatWords()) {
        SCOPED_TRACE(word);
        EXPECT_EQ(recur::Pack(recur::Unpack(word)), word);
    }
}

// Whatever a file holds in the bits that mean something comes back: the
// dialog rewrites an edited item from its repeat fields.
TEST(RepeatFields, AnyWordComesBackUnchanged)
{
    std::mt19937 rng(20250615);
    constexpr std::uint32_t alwaysZero = 0x3E000000;
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t word = (rng() & ~alwaysZero) | rp::Repeating;
        ASSERT_EQ(recur::Pack(recur::Unpack(word)), word) << std::hex << word;
    }
    // Fields without a pattern pack as daily; a same-day rule packs no weeks.
    EXPECT_EQ(recur::Pack({ .pattern = std::nullopt, .weeks = Weeks({ 1 }) }), rp::Repeating);
}

TEST(RepeatFields, CheckNamesTheFirstConflict)
{
    const RepeatFields weeklyMonday { .pattern = RepeatPattern::Weekly,
                                      .weekdays = Weekdays({ Mon }),
                                      .useWeekdays = true };
    const RepeatFields monthlyByWeek { .pattern = RepeatPattern::Monthly,
                                       .monthRule = MonthRule::ByWeek,
                                       .weeks = Weeks({ 1 }) };
    const RepeatFields lastDay { .pattern = RepeatPattern::Yearly,
                                 .monthRule = MonthRule::LastDay,
                                 .skipMonthEnd = true };
    RepeatFields dailyLastDay = lastDay;
    dailyLastDay.pattern = RepeatPattern::Daily;
    RepeatFields mondayExcluded = weeklyMonday;
    mondayExcluded.excludedWeekdays = Weekdays({ Mon, Fri });
    RepeatFields byWeekMonday = monthlyByWeek;
    byWeekMonday.weekdays = Weekdays({ Mon });
    byWeekMonday.excludedWeekdays = recur::kAllWeekdays;
    RepeatFields noPattern = lastDay;
    noPattern.pattern = std::nullopt;

    const std::pair<RepeatFields, std::optional<RepeatConflict>> cases[] = {
        { weeklyMonday, std::nullopt },
        { noPattern, RepeatConflict::NoPattern },
        { lastDay, RepeatConflict::LastDayExcluded },
        // The month rule counts only for monthly and yearly items.
        { dailyLastDay, std::nullopt },
        { { .pattern = RepeatPattern::Weekly }, RepeatConflict::NoWeekday },
        { monthlyByWeek, RepeatConflict::NoWeekday },
        { mondayExcluded, RepeatConflict::WeekdayChosenAndExcluded },
        { byWeekMonday, RepeatConflict::WeekdayChosenAndExcluded },
        { { .pattern = RepeatPattern::Daily, .excludedWeekdays = Weekdays({ Sun, Mon, Sat }) },
          std::nullopt },
        { { .pattern = RepeatPattern::Daily, .excludedWeekdays = recur::kAllWeekdays },
          RepeatConflict::AllWeekdaysExcluded },
    };
    for (const auto& [repeat, conflict] : cases) {
        SCOPED_TRACE(::testing::PrintToString(repeat));
        EXPECT_EQ(recur::Check(repeat), conflict);
    }
}
