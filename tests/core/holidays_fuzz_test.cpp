// Rule files come from users: random mutations of the shipped file must load
// without a crash (run under the sanitizers), and whatever loads must answer
// every query.
#include "core/files.h"
#include "core/holidays.h"

#include <gtest/gtest.h>

#include <random>

TEST(HolidaysFuzz, MutatedRuleFilesLoadAndAnswer)
{
    std::string original;
    ASSERT_TRUE(files::ReadAll(std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol", original));
    ASSERT_GT(original.size(), 1000u);
    THolidayList reference;
    reference.LoadFromText(original);
    const int fullCount = reference.Count();
    ASSERT_GT(fullCount, 50);

    const char interesting[] = { '"',  ',',  ' ',    '-',    '$',    ';',    '=', '\r', '\n',
                                 '\0', '\t', '\x81', '\x9F', '\xE0', '\xFC', '9', '0',  'F' };
    std::mt19937 rng(20240229);
    const days::Day probes[] = { days::Encode(2024, 1, 1),   days::Encode(2024, 3, 20),
                                 days::Encode(2020, 5, 6),   days::Encode(1899, 12, 30),
                                 days::Encode(9999, 12, 31), days::Encode(1, 1, 1) };
    for (int round = 0; round < 1500; ++round) {
        std::string text = original;
        const int edits = 1 + static_cast<int>(rng() % 12);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t pos = rng() % text.size();
            switch (rng() % 5) {
            case 0:
                text[pos] = static_cast<char>(rng() & 0xFF);
                break;
            case 1:
                text[pos] = interesting[rng() % sizeof interesting];
                break;
            case 2:
                text.insert(pos, 1, interesting[rng() % sizeof interesting]);
                break;
            case 3:
                text.erase(pos, 1 + rng() % 8);
                break;
            default:
                // A long run of digits: numbers out of range.
                text.insert(pos, std::string(1 + rng() % 20, static_cast<char>('0' + rng() % 10)));
                break;
            }
        }
        THolidayList list;
        list.LoadFromText(text);
        list.SortRules();
        // A few edits cannot add more rules than lines were made.
        ASSERT_LE(list.Count(), fullCount + 2 * edits);
        list.DispEvent3 = (round & 1) != 0;
        for (days::Day d : probes) {
            const bool off = list.SelectDay(d);
            EXPECT_EQ(off, list.IsDayOff(d));
            for (int i = 0; i < list.DayCount(); ++i)
                ASSERT_LE(list.DayItem(i)->Kind, 7);
            list.HintText(d);
        }
    }
}
