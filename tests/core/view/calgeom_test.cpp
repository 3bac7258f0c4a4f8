#include "core/view/calgeom.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace calgeom;

namespace {

days::Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

} // namespace

TEST(CalGeom, SevenCellsShareTheRoom)
{
    // 700 pixels with 1-pixel lines: 693 split evenly.
    EXPECT_EQ(CellSizes(700, 1, false, 0), (std::array<int, 7> { 99, 99, 99, 99, 99, 99, 99 }));
    // Remainders go to the later cells.
    EXPECT_EQ(CellSizes(710, 1, false, 0),
              (std::array<int, 7> { 100, 100, 100, 100, 101, 101, 101 }));
    // Thin weekend: a tenth each for Sunday and Saturday, the rest split by
    // 5, 4, 3, 2, 1.
    EXPECT_EQ(CellSizes(700, 1, true, 0), (std::array<int, 7> { 68, 111, 111, 111, 112, 112, 68 }));
    // The thin cells follow the weekdays when the week starts on Monday.
    EXPECT_EQ(CellSizes(700, 1, true, 1), (std::array<int, 7> { 111, 111, 111, 112, 112, 68, 68 }));
    EXPECT_EQ(CellSizes(700, 1, true, 6), (std::array<int, 7> { 68, 68, 111, 111, 111, 112, 112 }));
    for (int total : { 0, 3, 7, 50, 333, 1001 }) {
        for (bool thin : { false, true }) {
            const auto s = CellSizes(total, 2, thin, 3);
            for (int v : s)
                EXPECT_GE(v, 0);
            if (!thin && total >= 14) {
                EXPECT_EQ(std::accumulate(s.begin(), s.end(), 0), total - 14);
            }
        }
    }
}

TEST(CalGeom, DayRowsGiveTheSmallerShareToEarlierRows)
{
    EXPECT_EQ(DayRowHeights(100), (std::array<int, 6> { 16, 16, 17, 17, 17, 17 }));
    EXPECT_EQ(DayRowHeights(5), (std::array<int, 6> { 0, 1, 1, 1, 1, 1 }));
    EXPECT_EQ(DayRowHeights(-40), (std::array<int, 6> {}));
}

TEST(CalGeom, GridStarts)
{
    // June 2026 begins on a Monday: with weeks from Monday the grid starts a
    // whole week earlier.
    EXPECT_EQ(MonthGridStart(D(2026, 6, 1), 1), D(2026, 5, 25));
    EXPECT_EQ(MonthGridStart(D(2026, 6, 1), 0), D(2026, 5, 31));
    // August 2026 begins on a Saturday: the Sunday six days before.
    EXPECT_EQ(MonthGridStart(D(2026, 8, 1), 0), D(2026, 7, 26));
    // A month starting on Sunday with weeks from Sunday.
    EXPECT_EQ(MonthGridStart(D(2026, 2, 1), 0), D(2026, 1, 25));
    for (int sow = 0; sow < 7; ++sow) {
        for (days::Day first : { D(2026, 3, 1), D(2026, 11, 1), D(1900, 1, 1) }) {
            const days::Day start = MonthGridStart(first, sow);
            EXPECT_EQ(days::DayOfWeek(start) - 1, sow);
            EXPECT_GE(first - start, 1);
            EXPECT_LE(first - start, 7);
        }
        const days::Day w = WeekGridStart(D(2026, 12, 9), sow); // a Wednesday
        EXPECT_EQ(days::DayOfWeek(w) - 1, sow);
        EXPECT_LE(w, D(2026, 12, 9));
        EXPECT_GT(w + 7, D(2026, 12, 9));
    }
    EXPECT_EQ(FirstOfMonth(D(2024, 2, 29)), D(2024, 2, 1));
}

TEST(CalGeom, PageMovesCutTheDayToTheMonth)
{
    days::Day out = 0;
    // 31 January, next month: the last day of February.
    ASSERT_TRUE(MoveTarget(false, D(2026, 1, 1), D(2026, 1, 31), 0, 1, out));
    EXPECT_EQ(out, D(2026, 2, 28));
    // Back from January: December of the year before.
    ASSERT_TRUE(MoveTarget(false, D(2026, 1, 1), D(2026, 1, 15), 0, -1, out));
    EXPECT_EQ(out, D(2025, 12, 15));
    // A year on from 29 February.
    ASSERT_TRUE(MoveTarget(false, D(2024, 2, 1), D(2024, 2, 29), 1, 0, out));
    EXPECT_EQ(out, D(2025, 2, 28));
    // The month comes from the shown month, the day from the current date
    // (a day of the next month clicked in the grid).
    ASSERT_TRUE(MoveTarget(false, D(2026, 4, 1), D(2026, 5, 2), 0, 1, out));
    EXPECT_EQ(out, D(2026, 5, 2));
    // Week grid: seven days a page.
    ASSERT_TRUE(MoveTarget(true, D(2026, 12, 1), D(2026, 12, 30), 0, 1, out));
    EXPECT_EQ(out, D(2027, 1, 6));
    ASSERT_TRUE(MoveTarget(true, D(2026, 12, 1), D(2026, 12, 30), -1, 0, out));
    EXPECT_EQ(out, D(2025, 12, 30));
    // Never beyond the calendar's years.
    EXPECT_FALSE(MoveTarget(false, D(9999, 12, 1), D(9999, 12, 5), 0, 1, out));
    EXPECT_FALSE(MoveTarget(false, D(1, 1, 1), D(1, 1, 5), 0, -1, out));
    EXPECT_FALSE(MoveTarget(true, D(9999, 12, 1), D(9999, 12, 30), 0, 1, out));
    EXPECT_FALSE(MoveTarget(false, D(9999, 1, 1), D(9999, 1, 5), 1, 0, out));
}

TEST(CalGeom, DatePartsIgnoreInvalidAndUnchangedValues)
{
    days::Day out = 0;
    const days::Day apr = D(2026, 4, 30);
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Year, 1899, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Year, 10000, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Year, 2026, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Month, 13, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Month, 0, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Day, 31, out));
    EXPECT_FALSE(ReplaceDatePart(apr, DatePart::Day, -3, out));
    ASSERT_TRUE(ReplaceDatePart(apr, DatePart::Month, 2, out));
    EXPECT_EQ(out, D(2026, 2, 28));
    ASSERT_TRUE(ReplaceDatePart(D(2024, 2, 29), DatePart::Year, 2023, out));
    EXPECT_EQ(out, D(2023, 2, 28));
    ASSERT_TRUE(ReplaceDatePart(apr, DatePart::Day, 1, out));
    EXPECT_EQ(out, D(2026, 4, 1));
}
