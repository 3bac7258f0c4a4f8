#include "core/repeatfields.h"

namespace recur {

RepeatFields Unpack(std::uint32_t word)
{
    RepeatFields repeat;
    repeat.pattern = static_cast<RepeatPattern>((word & rp::PatternMask) >> rp::PatternShift);
    repeat.weeks = static_cast<WeekSet>((word & rp::WeekMask) >> rp::WeekShift);
    if (word & rp::LastDay)
        repeat.monthRule = MonthRule::LastDay;
    else if (repeat.weeks != 0)
        repeat.monthRule = MonthRule::ByWeek;
    repeat.weekdays = static_cast<WeekdaySet>(word & rp::WeekdayMask);
    repeat.useWeekdays = word & rp::UseWeekdays;
    repeat.excludedWeekdays =
        static_cast<WeekdaySet>((word & rp::ExcludedWeekdays) >> rp::ExcludedShift);
    repeat.skipHolidays = word & rp::SkipHolidays;
    repeat.skipMonthEnd = word & rp::SkipMonthEnd;
    repeat.shiftEarlier = word & rp::ShiftEarlier;
    return repeat;
}

std::uint32_t Pack(const RepeatFields& repeat)
{
    std::uint32_t word = rp::Repeating;
    word |= static_cast<std::uint32_t>(repeat.pattern.value_or(RepeatPattern::Daily))
        << rp::PatternShift;
    if (repeat.monthRule == MonthRule::LastDay)
        word |= rp::LastDay;
    if (repeat.monthRule != MonthRule::SameDay)
        word |= (static_cast<std::uint32_t>(repeat.weeks) << rp::WeekShift) & rp::WeekMask;
    word |= repeat.weekdays & rp::WeekdayMask;
    if (repeat.useWeekdays)
        word |= rp::UseWeekdays;
    word |= (static_cast<std::uint32_t>(repeat.excludedWeekdays) << rp::ExcludedShift) &
        rp::ExcludedWeekdays;
    if (repeat.skipHolidays)
        word |= rp::SkipHolidays;
    if (repeat.skipMonthEnd)
        word |= rp::SkipMonthEnd;
    if (repeat.shiftEarlier)
        word |= rp::ShiftEarlier;
    return word;
}

bool HasMonthRule(std::optional<RepeatPattern> pattern)
{
    return pattern == RepeatPattern::Monthly || pattern == RepeatPattern::Yearly;
}

bool AsksForWeekdays(const RepeatFields& repeat)
{
    return repeat.pattern == RepeatPattern::Weekly ||
        (HasMonthRule(repeat.pattern) && repeat.monthRule == MonthRule::ByWeek);
}

std::optional<RepeatConflict> Check(const RepeatFields& repeat)
{
    if (!repeat.pattern)
        return RepeatConflict::NoPattern;
    if (repeat.skipMonthEnd && HasMonthRule(repeat.pattern) &&
        repeat.monthRule == MonthRule::LastDay)
        return RepeatConflict::LastDayExcluded;
    const WeekdaySet chosen = repeat.weekdays & kAllWeekdays;
    const WeekdaySet excluded = repeat.excludedWeekdays & kAllWeekdays;
    if (AsksForWeekdays(repeat)) {
        if (chosen == 0)
            return RepeatConflict::NoWeekday;
        if (chosen & excluded)
            return RepeatConflict::WeekdayChosenAndExcluded;
    }
    if (excluded == kAllWeekdays)
        return RepeatConflict::AllWeekdaysExcluded;
    return std::nullopt;
}

} // namespace recur
