// The rules behind the bulk delete (its classes, kept series staying on
// their days) and the per-day menu captions.
#include "app/bulkdelete.h"
#include "app/itemtexts.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <map>

namespace {

using days::Day;

using recur::RepeatPattern;

std::uint32_t Every(RepeatPattern pattern)
{
    return recur::Pack({ .pattern = pattern });
}

// Subject, start, Repeat, LimitDate, KindBits, Priority. 2024-07-31 is a day
// off, so the month-end series shifts to 07-30 there.
struct BulkStore
{
    TSchedList s;
    explicit BulkStore(int kindMask)
    {
        s.IsHoliday = [](Day d) { return d == D(2024, 7, 31); };
        s.SetKindMask(kindMask);
        const std::tuple<const char*, Day, std::uint32_t, Day, int, int> items[] = {
            { "old", D(2024, 6, 1), 0, -1, 0, 0 },
            { "cutoff", D(2024, 6, 10), 0, -1, 0, 0 },
            { "future", D(2024, 6, 11), 0, -1, 0, 0 },
            { "wednesdays", D(2024, 5, 1),
              recur::Pack({ .pattern = RepeatPattern::Weekly,
                            .weekdays = recur::Weekdays({ 4 }),
                            .useWeekdays = true }),
              -1, 0, 0 },
            { "birthday", D(2020, 3, 3), Every(RepeatPattern::Yearly), -1, 0, 0 },
            { "ended", D(2024, 5, 1), Every(RepeatPattern::Daily), D(2024, 6, 5), 0, 0 },
            { "month end", D(2024, 5, 31),
              recur::Pack({ .pattern = RepeatPattern::Monthly,
                            .skipHolidays = true,
                            .shiftEarlier = true }),
              -1, 0, 0 },
            { "secret", D(2024, 6, 1), 0, -1, 1, 0 },
            { "company", D(2024, 6, 2), 0, -1, 2, 2 },
            { "mail", D(2024, 6, 3), 0, -1, 4, 0 },
        };
        for (const auto& [subject, date, repeat, limit, kind, priority] : items) {
            TEventData e;
            std::tie(e.Subject, e.Date, e.Repeat, e.LimitDate, e.KindBits, e.Priority) =
                std::tie(subject, date, repeat, limit, kind, priority);
            s.AddEvent(e, false);
        }
    }
    std::map<std::string, Day> Left() const
    {
        std::map<std::string, Day> out;
        for (PEventData e : s.All())
            out[e->Subject] = e->Date;
        return out;
    }
    // Every day of every item from a day on, for two years.
    std::map<std::string, std::vector<Day>> Days(Day from) const
    {
        std::map<std::string, std::vector<Day>> out;
        for (PEventData e : s.All())
            for (Day c = from, d; (d = s.NextOccurrence(*e, c)) >= c && d < from + 730; c = d + 1)
                out[e->Subject].push_back(d);
        return out;
    }
};

} // namespace

TEST(BulkDelete, DefaultsRemoveTheOldAndKeepSeriesOnTheirOwnDays)
{
    const Day rm = D(2024, 6, 10);
    TRemoveChoice choice;
    choice.RmDate = rm;
    BulkStore b(7);
    const auto before = b.Days(rm);
    int notices = 0;
    b.s.OnModified = [&](TSchedList*) { ++notices; };
    EXPECT_EQ(RemoveSchedules(b.s, choice), 6);
    EXPECT_EQ(notices, 0);
    // A series moves to its first day on or after the cut-off, unless that
    // day was shifted (07-30 cannot start a series of the 31st).
    EXPECT_EQ(b.Left(),
              (std::map<std::string, Day> { { "birthday", D(2025, 3, 3) },
                                            { "future", D(2024, 6, 11) },
                                            { "month end", D(2024, 5, 31) },
                                            { "wednesdays", D(2024, 6, 12) } }));
    for (const auto& [subject, days] : b.Days(rm))
        EXPECT_EQ(days, before.at(subject)) << subject;

    // Secret items hidden by the filter stay.
    BulkStore hidden(6);
    RemoveSchedules(hidden.s, choice);
    EXPECT_EQ(hidden.Left().count("secret"), 1u);
}

TEST(BulkDelete, EachKeepChoiceKeepsItsClass)
{
    TRemoveChoice all;
    all.AllSched = true;
    auto with = [&](bool TRemoveChoice::*flag) {
        TRemoveChoice c = all;
        c.*flag = true;
        return c;
    };
    // DispOnly under a filter without company items; "mail" (4) shows under
    // every filter.
    const std::tuple<TRemoveChoice, int, std::vector<std::string>> cases[] = {
        { all, 7, {} },
        { with(&TRemoveChoice::RepSched), 7, { "birthday", "ended", "month end", "wednesdays" } },
        { with(&TRemoveChoice::PriSched), 7, { "company" } },
        { with(&TRemoveChoice::Secret), 7, { "secret" } },
        { with(&TRemoveChoice::UnKnown), 7, { "mail" } },
        { with(&TRemoveChoice::DispOnly), 3, { "company" } },
    };
    for (const auto& [choice, mask, left] : cases) {
        BulkStore b(mask);
        RemoveSchedules(b.s, choice);
        std::vector<std::string> subjects;
        for (const auto& entry : b.Left())
            subjects.push_back(entry.first);
        EXPECT_EQ(subjects, left) << left.size();
    }
}

TEST(ItemTexts, MenuCaptionsCutSubjectsByWholeCharacters)
{
    TEventData e;
    // 31 single bytes and a double-byte character, which no longer fits.
    e.Subject = std::string(31, 'a') + SJ("漢字") + "tail";
    EXPECT_EQ(DayMenuCaption(e, D(2024, 7, 1)), "07/01 " + std::string(31, 'a') + "...");
    e.HasTime = true;
    e.StartTime = 545;
    e.Subject = "short";
    EXPECT_EQ(DayMenuCaption(e, D(2024, 7, 1)), "09:05 short...");
}
