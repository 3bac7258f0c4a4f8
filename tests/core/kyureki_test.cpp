#include "core/kyureki.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <fstream>
#include <sstream>

namespace {

days::Day ParseIso(const std::string& s)
{
    return D(std::stoi(s.substr(0, 4)), std::stoi(s.substr(5, 2)), std::stoi(s.substr(8, 2)));
}

std::vector<std::vector<std::string>> ReferenceLines(const char* kind)
{
    std::ifstream in(std::string(KALVERO_SOURCE_DIR) + "/tests/data/almanac-reference.txt");
    EXPECT_TRUE(in) << "reference data missing";
    std::vector<std::vector<std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;)
            w.push_back(s);
        if (!w.empty() && w[0] == kind)
            out.push_back(w);
    }
    return out;
}

struct Old
{
    int year, month, day;
    bool leap;
    std::string rokuyo; // UTF-8
};

Old Convert(days::Day date)
{
    TKyureki k;
    k.Calc(date);
    return { k.OldYear, k.OldMonth, k.OldDay, k.Leap, sjis::ToUtf8(k.RokuyoName()) };
}

} // namespace

TEST(Kyureki, LeapMonthsOfTermsLateInTheirDay)
{
    // Years whose principal terms fall late in the day: the term before a
    // month must not be found twice.
    struct Case
    {
        days::Day date;
        Old expected;
    } cases[] = {
        { D(2017, 6, 24), { 2017, 5, 1, true, "大安" } },
        { D(2020, 5, 23), { 2020, 4, 1, true, "仏滅" } },
        { D(2020, 6, 21), { 2020, 5, 1, false, "大安" } },
        { D(2020, 6, 28), { 2020, 5, 8, false, "赤口" } },
        { D(2025, 7, 25), { 2025, 6, 1, true, "赤口" } },
        { D(2025, 9, 22), { 2025, 8, 1, false, "友引" } },
        { D(1998, 6, 24), { 1998, 5, 1, true, "大安" } },
        { D(2006, 8, 24), { 2006, 7, 1, true, "先勝" } },
        { D(2009, 6, 23), { 2009, 5, 1, true, "大安" } },
    };
    for (const Case& c : cases) {
        Old o = Convert(c.date);
        SCOPED_TRACE(days::FormatIso(c.date));
        EXPECT_EQ(o.year, c.expected.year);
        EXPECT_EQ(o.month, c.expected.month);
        EXPECT_EQ(o.day, c.expected.day);
        EXPECT_EQ(o.leap, c.expected.leap);
        EXPECT_EQ(o.rokuyo, c.expected.rokuyo);
    }
}

TEST(Kyureki, PublishedMonthStarts)
{
    auto lines = ReferenceLines("month");
    ASSERT_GE(lines.size(), 20u);
    for (const auto& w : lines) {
        const days::Day date = ParseIso(w[1]);
        SCOPED_TRACE(w[1]);
        Old o = Convert(date);
        EXPECT_EQ(o.day, 1);
        EXPECT_EQ(o.month, std::stoi(w[2]));
        EXPECT_EQ(o.leap, w[3] == "1");
        EXPECT_EQ(o.year, days::Decode(date).year);
        Old before = Convert(date - 1);
        EXPECT_GE(before.day, 29);
    }
}

TEST(Kyureki, NewMoonsStartTheOldMonth)
{
    auto lines = ReferenceLines("newmoon");
    ASSERT_GE(lines.size(), 25u);
    for (const auto& w : lines) {
        const days::Day date = ParseIso(w[1]);
        SCOPED_TRACE(w[1]);
        EXPECT_EQ(Convert(date).day, 1);
        EXPECT_NE(Convert(date - 1).day, 1);
        EXPECT_EQ(Convert(date + 1).day, 2);
    }
}

TEST(Kyureki, PublishedSolarTerms)
{
    auto lines = ReferenceLines("term");
    ASSERT_GE(lines.size(), 28u);
    int checked = 0;
    for (const auto& w : lines) {
        // The short series are good to a few minutes: a term published within
        // ten minutes of midnight may land on the neighbouring day.
        if (w[2] != "-") {
            const int minute = std::stoi(w[2].substr(0, 2)) * 60 + std::stoi(w[2].substr(3, 2));
            if (minute < 10 || minute > 1430)
                continue;
        }
        const days::Day date = ParseIso(w[1]);
        SCOPED_TRACE(w[1]);
        EXPECT_EQ(SolarTermOfDate(date), std::stoi(w[3]));
        EXPECT_EQ(SolarTermOfDate(date - 1), -1);
        EXPECT_EQ(SolarTermOfDate(date + 1), -1);
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(lines.size()) - 1);
}

TEST(Kyureki, EquinoxDaysOfThePublishedHolidayList)
{
    std::ifstream in(std::string(KALVERO_SOURCE_DIR) + "/tests/data/holidays-1955-2026.txt");
    ASSERT_TRUE(in);
    int spring = 0, autumn = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const days::Day date = ParseIso(line);
        const std::string name = line.substr(11);
        if (name == "春分の日" || name == "秋分の日") {
            SCOPED_TRACE(line);
            const int expected = name == "春分の日" ? 0 : 12;
            EXPECT_EQ(SolarTermOfDate(date), expected);
            EXPECT_EQ(SolarTermOfDate(date + 1), -1);
            EXPECT_EQ(SolarTermOfDate(date - 1), -1);
            ++(expected == 0 ? spring : autumn);
        }
    }
    EXPECT_EQ(spring, 72);
    EXPECT_EQ(autumn, 72);
}

TEST(Kyureki, DaysFollowOneAnotherExceptThe2033Window)
{
    // Day by day the old date steps on by one, or a new month begins after
    // day 29 or 30 with the next number or as the leap month of the same
    // number. The one exception is the method's own result for 2033, where
    // 閏11 follows month 10.
    TKyureki k;
    k.Calc(D(1949, 12, 31));
    int month = k.OldMonth, day = k.OldDay;
    bool leap = k.Leap;
    int leapMonths = 0;
    for (days::Day d = D(1950, 1, 1); d <= D(2050, 12, 31); ++d) {
        k.Calc(d);
        const bool next = k.OldDay == day + 1 && k.OldMonth == month && k.Leap == leap;
        const bool newMonth = k.OldDay == 1 && (day == 29 || day == 30) &&
            ((k.Leap && !leap && k.OldMonth == month) || (!k.Leap && k.OldMonth == month % 12 + 1));
        if (d == D(2033, 12, 22)) {
            EXPECT_TRUE(k.Leap && k.OldMonth == 11 && k.OldDay == 1 && month == 10);
        } else if (!next && !newMonth) {
            ADD_FAILURE() << days::FormatIso(d) << ": " << k.OldMonth << "/" << k.OldDay;
            break;
        }
        leapMonths += k.Leap && k.OldDay == 1;
        month = k.OldMonth;
        day = k.OldDay;
        leap = k.Leap;
    }
    // 37 leap months in 101 years, plus the extra one of 2033.
    EXPECT_EQ(leapMonths, 38);
    EXPECT_EQ(Convert(D(2033, 8, 25)).leap, true);
    EXPECT_EQ(Convert(D(2033, 8, 25)).month, 7);
}

TEST(Kyureki, JanuaryBeforeTheOldNewYear)
{
    Old o = Convert(D(2024, 1, 1));
    EXPECT_EQ(o.year, 2023);
    EXPECT_EQ(o.month, 11);
    EXPECT_EQ(o.day, 20);
    o = Convert(D(2024, 2, 9));
    EXPECT_EQ(o.year, 2023);
    EXPECT_EQ(o.month, 12);
    EXPECT_EQ(o.day, 30);
    EXPECT_EQ(Convert(D(2024, 2, 10)).year, 2024);
}

TEST(Kyureki, SixDayNamesOfAlmanacDates)
{
    // The almanacs name the first day of old months 1 and 7 先勝, of 2 and 8
    // 友引, of 3 and 9 先負, of 4 and 10 仏滅, of 5 and 11 大安, of 6 and 12
    // 赤口 (a leap month like its number), and step on one name a day. The
    // old dates come from the new moons and month starts of the reference
    // file: 2024-02-10 is 1/1 and 2025-01-29 the next 1/1; 2024-01-11 is
    // 12/1, so 2024-02-09 is 12/30; 2025-07-25 starts leap month 6 and
    // 2025-08-23 month 7.
    const std::pair<days::Day, const char*> cases[] = {
        { D(2024, 1, 11), "赤口" }, // 12/1
        { D(2024, 2, 9), "大安" }, // 12/30
        { D(2024, 2, 10), "先勝" }, // 1/1
        { D(2024, 2, 11), "友引" }, // 1/2
        { D(2024, 2, 16), "先勝" }, // 1/7
        { D(2024, 3, 10), "友引" }, // 2/1
        { D(2024, 4, 9), "先負" }, // 3/1
        { D(2024, 5, 8), "仏滅" }, // 4/1
        { D(2024, 6, 5), "友引" }, // 4/29
        { D(2024, 6, 6), "大安" }, // 5/1
        { D(2024, 7, 6), "赤口" }, // 6/1
        { D(2024, 8, 4), "先勝" }, // 7/1
        { D(2024, 9, 17), "仏滅" }, // 8/15
        { D(2024, 12, 31), "赤口" }, // 12/1
        { D(2025, 1, 1), "先勝" }, // 12/2
        { D(2025, 7, 25), "赤口" }, // leap 6/1
        { D(2025, 8, 22), "仏滅" }, // leap 6/29
        { D(2025, 8, 23), "先勝" }, // 7/1
    };
    TKyureki k;
    for (const auto& [date, name] : cases) {
        SCOPED_TRACE(days::FormatIso(date));
        k.Calc(date);
        EXPECT_EQ(sjis::ToUtf8(k.RokuyoName()), name);
        // 大安 is the lucky day, 仏滅 the unlucky one.
        EXPECT_EQ(k.RokuyoLuck(),
                  std::string(name) == "大安"       ? 1
                      : std::string(name) == "仏滅" ? 2
                                                    : 0);
    }
}

TEST(Kyureki, NormalizeAngle)
{
    EXPECT_DOUBLE_EQ(NormalizeAngle(0), 0);
    EXPECT_DOUBLE_EQ(NormalizeAngle(725), 5);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-30), 330);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-390), 330);
    EXPECT_DOUBLE_EQ(NormalizeAngle(359.5), 359.5);
}

TEST(Kyureki, PrincipalTermKeepsItsTimeOfDay)
{
    // The 2020 summer solstice: 2020-06-21 06:44 JST (National Astronomical
    // Observatory of Japan). The moment found lies within the series'
    // accuracy of that, not hours earlier at the start of the day.
    TKyureki k;
    const double jd = D(2020, 7, 1) + 2415018.0;
    const double m = k.PrincipalTermBefore(90, jd);
    EXPECT_DOUBLE_EQ(k.WorkLongitude, 90);
    const double expected = D(2020, 6, 21) + 2415018.0 + (6 * 60 + 44) / 1440.0;
    EXPECT_NEAR(m, expected, 20 / 1440.0);
}
