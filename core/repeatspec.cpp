#include "core/repeatspec.h"

namespace recur {

RepeatSpec Unpack(std::uint32_t word)
{
    RepeatSpec spec;
    spec.pattern = static_cast<RepeatPattern>((word & rp::PatternMask) >> rp::PatternShift);
    spec.weeks = static_cast<WeekSet>((word & rp::WeekMask) >> rp::WeekShift);
    if (word & rp::LastDay)
        spec.monthRule = MonthRule::LastDay;
    else if (spec.weeks != 0)
        spec.monthRule = MonthRule::ByWeek;
    spec.weekdays = static_cast<WeekdaySet>(word & rp::WeekdayMask);
    spec.useWeekdays = word & rp::UseWeekdays;
    spec.excludedWeekdays =
        static_cast<WeekdaySet>((word & rp::ExcludedWeekdays) >> rp::ExcludedShift);
    spec.skipHolidays = word & rp::SkipHolidays;
    spec.skipMonthEnd = word & rp::SkipMonthEnd;
    spec.shiftEarlier = word & rp::ShiftEarlier;
    return spec;
}

std::uint32_t Pack(const RepeatSpec& spec)
{
    std::uint32_t word = rp::Repeating;
    word |= static_cast<std::uint32_t>(spec.pattern.value_or(RepeatPattern::Daily))
        << rp::PatternShift;
    if (spec.monthRule == MonthRule::LastDay)
        word |= rp::LastDay;
    if (spec.monthRule != MonthRule::SameDay)
        word |= (static_cast<std::uint32_t>(spec.weeks) << rp::WeekShift) & rp::WeekMask;
    word |= spec.weekdays & rp::WeekdayMask;
    if (spec.useWeekdays)
        word |= rp::UseWeekdays;
    word |= (static_cast<std::uint32_t>(spec.excludedWeekdays) << rp::ExcludedShift) &
        rp::ExcludedWeekdays;
    if (spec.skipHolidays)
        word |= rp::SkipHolidays;
    if (spec.skipMonthEnd)
        word |= rp::SkipMonthEnd;
    if (spec.shiftEarlier)
        word |= rp::ShiftEarlier;
    return word;
}

bool HasMonthRule(std::optional<RepeatPattern> pattern)
{
    return pattern == RepeatPattern::Monthly || pattern == RepeatPattern::Yearly;
}

bool AsksForWeekdays(const RepeatSpec& spec)
{
    return spec.pattern == RepeatPattern::Weekly ||
        (HasMonthRule(spec.pattern) && spec.monthRule == MonthRule::ByWeek);
}

std::optional<RepeatConflict> Check(const RepeatSpec& spec)
{
    if (!spec.pattern)
        return RepeatConflict::NoPattern;
    if (spec.skipMonthEnd && HasMonthRule(spec.pattern) && spec.monthRule == MonthRule::LastDay)
        return RepeatConflict::LastDayExcluded;
    const WeekdaySet chosen = spec.weekdays & kAllWeekdays;
    const WeekdaySet excluded = spec.excludedWeekdays & kAllWeekdays;
    if (AsksForWeekdays(spec)) {
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
