#pragma once

// What the benchmarks share, and tests that want the same data: an offscreen
// application and schedule items that look like a real user's (Japanese
// subjects, categories, times, series of every pattern), drawn from a seeded
// generator so that every run measures the same data.

#include "core/eventdata.h"
#include "core/sjis.h"

#include <QApplication>

#include <random>
#include <string>
#include <vector>

namespace benchdata {

inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "kalvero_bench";
    static char* argv[] = { name, nullptr };
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The recurrences of the repeating items, one of each pattern and rule.
inline const std::vector<std::uint32_t>& RepeatWords()
{
    using recur::MonthRule;
    using recur::RepeatPattern;
    constexpr int sun = 1, mon = 2, tue = 3, wed = 4, thu = 5, sat = 7;
    static const std::vector<std::uint32_t> words = [] {
        const recur::RepeatFields samples[] = {
            { .pattern = RepeatPattern::Daily, .excludedWeekdays = recur::Weekdays({ sun, sat }) },
            { .pattern = RepeatPattern::Weekly,
              .weekdays = recur::Weekdays({ mon, thu }),
              .useWeekdays = true },
            { .pattern = RepeatPattern::Weekly,
              .weekdays = recur::Weekdays({ wed }),
              .useWeekdays = true,
              .skipHolidays = true,
              .shiftEarlier = true },
            { .pattern = RepeatPattern::Monthly },
            { .pattern = RepeatPattern::Monthly, .monthRule = MonthRule::LastDay },
            { .pattern = RepeatPattern::Monthly,
              .monthRule = MonthRule::ByWeek,
              .weekdays = recur::Weekdays({ tue }),
              .useWeekdays = true,
              .weeks = recur::Weeks({ 2, 4 }) },
            { .pattern = RepeatPattern::Yearly },
            { .pattern = RepeatPattern::Yearly, .monthRule = MonthRule::LastDay },
            { .pattern = RepeatPattern::Yearly,
              .monthRule = MonthRule::ByWeek,
              .weekdays = recur::Weekdays({ mon }),
              .useWeekdays = true,
              .weeks = recur::Weeks({ 2 }) },
        };
        std::vector<std::uint32_t> out;
        for (const recur::RepeatFields& fields : samples)
            out.push_back(recur::Pack(fields));
        return out;
    }();
    return words;
}

// One item dated within spanDays from base; repeatingPercent of the items
// repeat, by every pattern, a third of those with an end date.
inline TEventData RandomItem(std::mt19937& rng, days::Day base, int spanDays, int repeatingPercent,
                             int index)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::uint32_t>& patterns = RepeatWords();
    static const std::string subjects[] = { SJ("定例会議"), SJ("顧客訪問 ソフト開発"),
                                            SJ("歯医者"),   SJ("締切: 月次報告書"),
                                            SJ("誕生日"),   SJ("ﾃﾆｽ") };
    static const std::string kinds[] = { "", SJ("仕事:FF0000"), SJ("個人:008000:C0C0C0"),
                                         SJ("家族") };
    TEventData e;
    e.Date = base + pick(spanDays);
    if (pick(100) < repeatingPercent) {
        e.Repeat = patterns[pick(static_cast<int>(patterns.size()))];
        e.LimitDate = pick(3) == 0 ? e.Date + 200 + pick(1000) : -1;
    }
    if (pick(3)) {
        e.StartTime = 360 + pick(900);
        e.EndTime = e.StartTime + 30 + pick(120);
        e.HasTime = true;
    }
    e.Subject = subjects[pick(6)] + std::to_string(index);
    e.DataType = kinds[pick(4)];
    e.KindBits = pick(3);
    e.Priority = pick(5);
    e.AlarmBefore = pick(2) ? 15 : 0;
    return e;
}

} // namespace benchdata
