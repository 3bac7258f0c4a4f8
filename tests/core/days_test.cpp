#include "core/days.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

TEST(Days, EpochAndKnownDays)
{
    EXPECT_EQ(days::Encode(1899, 12, 30), 0);
    EXPECT_EQ(days::Encode(1900, 1, 1), 2);
    EXPECT_EQ(days::Encode(1970, 1, 1), 25569);
    EXPECT_EQ(days::Encode(2000, 1, 1), 36526);
    EXPECT_EQ(days::Encode(1, 1, 1), days::kMinDay);
    EXPECT_EQ(days::Encode(9999, 12, 31), days::kMaxDay);
    EXPECT_EQ(days::Encode(1899, 12, 29), -1);
}

TEST(Days, RoundTripOverTheWholeRange)
{
    // Start from 0000-12-31 as the day before the first.
    int prevYear = 0, prevMonth = 12, prevDay = 31;
    for (days::Day d = days::kMinDay; d <= days::kMaxDay; ++d) {
        days::Ymd ymd = days::Decode(d);
        ASSERT_EQ(days::Encode(ymd.year, ymd.month, ymd.day), d);
        // Consecutive days follow one another in the calendar.
        if (ymd.day != 1) {
            ASSERT_EQ(ymd.day, prevDay + 1);
            ASSERT_EQ(ymd.month, prevMonth);
        } else {
            ASSERT_EQ(prevDay, days::DaysInMonth(prevYear, prevMonth));
        }
        prevYear = ymd.year;
        prevMonth = ymd.month;
        prevDay = ymd.day;
    }
}

TEST(Days, WeekdaysAgreeWithTheCLibrary)
{
    EXPECT_EQ(days::DayOfWeek(0), 7); // 1899-12-30, Saturday
    EXPECT_EQ(days::DayOfWeek(1), 1); // Sunday
    EXPECT_EQ(days::DayOfWeek(-1), 6); // Friday
    EXPECT_EQ(days::DayOfWeek(days::Encode(2026, 12, 9)), 4); // Wednesday
    for (int y = 1902; y < 2038; y += 7) {
        for (int m = 1; m <= 12; ++m) {
            std::tm tm {};
            tm.tm_year = y - 1900;
            tm.tm_mon = m - 1;
            tm.tm_mday = 13;
            tm.tm_hour = 12;
            timegm(&tm);
            EXPECT_EQ(days::DayOfWeek(days::Encode(y, m, 13)), tm.tm_wday + 1);
        }
    }
}

TEST(Days, ValidityAndFormatting)
{
    EXPECT_TRUE(days::IsValidDate(2024, 2, 29));
    EXPECT_FALSE(days::IsValidDate(2023, 2, 29));
    EXPECT_FALSE(days::IsValidDate(1900, 2, 29));
    EXPECT_TRUE(days::IsValidDate(2000, 2, 29));
    EXPECT_FALSE(days::IsValidDate(2004, 4, 31));
    EXPECT_FALSE(days::IsValidDate(2004, 13, 1));
    EXPECT_FALSE(days::IsValidDate(0, 1, 1));
    EXPECT_FALSE(days::IsValidDate(10000, 1, 1));
    days::Day d = 0;
    EXPECT_FALSE(days::TryEncode(2004, 4, 31, d));
    EXPECT_TRUE(days::TryEncode(2004, 5, 1, d));
    EXPECT_EQ(days::Format(d), "2004/05/01");
    EXPECT_EQ(days::FormatIso(d), "2004-05-01");
    EXPECT_EQ(days::Format(days::kMinDay), "0001/01/01");
}

TEST(Days, MomentsAndTheInjectedClock)
{
    EXPECT_EQ(days::DayOf(-1), -1);
    EXPECT_EQ(days::DayOf(days::MomentOf(5, 1439)), 5);
    EXPECT_EQ(days::SecondsOfDay(days::MomentOf(-3, 90)), 90 * 60);
    {
        days::FixedClock clock(days::MomentOf(days::Encode(2025, 1, 13), 9 * 60 + 45));
        EXPECT_EQ(days::Today(), days::Encode(2025, 1, 13));
        clock.Advance(15 * 3600);
        EXPECT_EQ(days::Today(), days::Encode(2025, 1, 14));
        {
            days::FixedClock inner(days::MomentOf(days::Encode(2030, 6, 1)));
            EXPECT_EQ(days::Today(), days::Encode(2030, 6, 1));
        }
        // The outer clock is back.
        EXPECT_EQ(days::Today(), days::Encode(2025, 1, 14));
    }
}

TEST(Days, SystemClockReadsLocalTime)
{
    // A zone given as a rule needs no zone database: nine hours east.
    const char* const saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    EXPECT_EQ(days::FromUnixLocal(0), days::MomentOf(days::Encode(1970, 1, 1), 9 * 60));
    // 2023-11-14 22:13:20 UTC.
    EXPECT_EQ(days::FromUnixLocal(1700000000),
              days::MomentOf(days::Encode(2023, 11, 15), 7 * 60 + 13) + 20);

    // Once a fixed clock has gone "now" is the system's again, read between
    // two looks at the system clock of our own.
    {
        days::FixedClock fixed(0);
    }
    const std::int64_t before = std::time(nullptr);
    const days::Moment now = days::Now();
    const std::int64_t after = std::time(nullptr);
    EXPECT_GE(now, days::FromUnixLocal(before));
    EXPECT_LE(now, days::FromUnixLocal(after));

    if (saved)
        ::setenv("TZ", previous.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}
