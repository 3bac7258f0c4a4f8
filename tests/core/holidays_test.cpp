#include "core/files.h"
#include "core/holidays.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <filesystem>
#include <fstream>
#include <map>

namespace {

// A list from rule text written in UTF-8 here, stored as Shift_JIS.
void Load(THolidayList& list, const std::string& utf8)
{
    list.LoadFromText(sjis::FromUtf8(utf8));
    list.SortRules();
}

std::vector<std::string> DayNames(THolidayList& list, days::Day date, bool* dayOff = nullptr)
{
    const bool off = list.SelectDay(date);
    if (dayOff)
        *dayOff = off;
    std::vector<std::string> names;
    for (int i = 0; i < list.DayCount(); ++i)
        names.push_back(sjis::ToUtf8(THolidayList::DisplayName(*list.DayItem(i), date)));
    return names;
}

std::vector<days::Day> MatchingDays(const THolidayList& list, int index, days::Day from,
                                    days::Day to)
{
    std::vector<days::Day> out;
    for (days::Day d = from; d <= to; ++d) {
        if (THolidayList::Matches(list.Rule(index), SolarTermOfDate(d), d))
            out.push_back(d);
    }
    return out;
}

std::string ShippedFile()
{
    return std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol";
}

} // namespace

TEST(Holidays, LineGrammar)
{
    THolidayList list;
    Load(list,
         "; comment\r\n"
         "   ; indented comment\r\n"
         "\r\n"
         "\t  \r\n"
         "1,2,0,2000,2000,0\r\n" // six items: skipped
         "   1 , 3 , 0 , 2000 , 2000 , 2 , blanks\r\n" // blanks around commas
         "1 4 0 2000 2000 2 spaced\r\n" // blanks separate items
         "1,5,0,2000,2000,2,\"a, \"\"quoted\"\" name\",ignored\r\n"
         "$1,$6,0,$7D0,2000,10,hex\r\n"); // kind 10 and 7 = 2
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(sjis::ToUtf8(list.Rule(0).Name), "blanks");
    EXPECT_EQ(list.Rule(0).DaySpec, 0x0103);
    EXPECT_EQ(sjis::ToUtf8(list.Rule(1).Name), "spaced");
    EXPECT_EQ(list.Rule(2).Name, "a, \"quoted\" name");
    EXPECT_EQ(list.Rule(3).DaySpec, 0x0106);
    EXPECT_EQ(list.Rule(3).FromYear, 2000);
    EXPECT_EQ(list.Rule(3).Kind, 2);
}

TEST(Holidays, ExampleRules)
{
    THolidayList list;
    Load(list,
         "1,1,0,1949,9999,0,元日\r\n"
         "1,-2,2,2000,9999,0,成人の日\r\n"
         "3,0,0,1949,9999,0,春分の日\r\n"
         "9,0,12,1948,9999,0,秋分の日\r\n"
         "0,25,0,2000,9999,2,25日\r\n"
         "0,-65,65,2000,9999,6,第1土日\r\n");
    ASSERT_EQ(list.Count(), 6);
    // Sorted by DaySpec: every-month rules first.
    EXPECT_EQ(list.Rule(0).DaySpec, 25);
    EXPECT_EQ(list.Rule(1).DaySpec, 0x00C1);
    EXPECT_EQ(list.Rule(1).WeekDays, 65);
    EXPECT_EQ(list.Rule(2).DaySpec, 0x0101);
    EXPECT_EQ(list.Rule(3).DaySpec, 0x0182);
    EXPECT_EQ(list.Rule(3).WeekDays, 2);
    EXPECT_EQ(list.Rule(4).DaySpec, 0x0300);
    EXPECT_EQ(list.Rule(5).DaySpec, 0x0900);
    EXPECT_EQ(list.Rule(5).WeekDays, 12);

    const days::Day y2024 = D(2024, 1, 1), end2024 = D(2024, 12, 31);
    EXPECT_EQ(MatchingDays(list, 2, y2024, end2024), std::vector<days::Day> { D(2024, 1, 1) });
    EXPECT_EQ(MatchingDays(list, 3, y2024, end2024), std::vector<days::Day> { D(2024, 1, 8) });
    EXPECT_EQ(MatchingDays(list, 4, y2024, end2024), std::vector<days::Day> { D(2024, 3, 20) });
    EXPECT_EQ(MatchingDays(list, 5, y2024, end2024), std::vector<days::Day> { D(2024, 9, 22) });
    EXPECT_EQ(MatchingDays(list, 0, y2024, end2024).size(), 12u);
    // First Sunday and first Saturday of each month.
    auto firsts = MatchingDays(list, 1, y2024, end2024);
    EXPECT_EQ(firsts.size(), 24u);
    for (days::Day d : firsts) {
        EXPECT_LE(days::Decode(d).day, 7);
        EXPECT_TRUE(days::DayOfWeek(d) == 1 || days::DayOfWeek(d) == 7);
    }
    // Years outside the rule: no match.
    EXPECT_TRUE(MatchingDays(list, 3, D(1999, 1, 1), D(1999, 12, 31)).empty());
}

TEST(Holidays, WeekAndMonthRules)
{
    THolidayList list;
    Load(list,
         "0,15,0,2000,2000,2,mid\r\n"
         "5,-2,1,1990,2100,2,\"second Sunday\"\r\n"
         "5,-66,1,1990,2100,2,\"second Sunday by mask\"\r\n"
         "0,-1,127,2010,2010,2,\"first seven\"\r\n"
         "13,1,0,2000,2100,2,\"month 13\"\r\n"
         "3,0,7,2000,2100,2,\"term 7 in March\"\r\n");
    ASSERT_EQ(list.Count(), 6);
    auto index = [&](const char* name) {
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Rule(i).Name == name)
                return i;
        }
        ADD_FAILURE() << name;
        return 0;
    };
    auto mid = MatchingDays(list, index("mid"), D(1999, 1, 1), D(2001, 12, 31));
    ASSERT_EQ(mid.size(), 12u);
    EXPECT_EQ(mid.front(), D(2000, 1, 15));
    EXPECT_EQ(mid.back(), D(2000, 12, 15));

    for (int year = 1995; year <= 2030; ++year) {
        auto a = MatchingDays(list, index("second Sunday"), D(year, 1, 1), D(year, 12, 31));
        auto b = MatchingDays(list, index("second Sunday by mask"), D(year, 1, 1), D(year, 12, 31));
        ASSERT_EQ(a.size(), 1u);
        EXPECT_EQ(a, b);
        const days::Ymd ymd = days::Decode(a[0]);
        EXPECT_EQ(ymd.month, 5);
        EXPECT_TRUE(ymd.day >= 8 && ymd.day <= 14);
        EXPECT_EQ(days::DayOfWeek(a[0]), 1);
    }
    auto seven = MatchingDays(list, index("first seven"), D(2010, 1, 1), D(2010, 12, 31));
    ASSERT_EQ(seven.size(), 84u);
    for (days::Day d : seven)
        EXPECT_LE(days::Decode(d).day, 7);
    // Values outside the format are kept and never match.
    EXPECT_TRUE(MatchingDays(list, index("month 13"), D(2000, 1, 1), D(2003, 12, 31)).empty());
    EXPECT_TRUE(
        MatchingDays(list, index("term 7 in March"), D(2000, 1, 1), D(2003, 12, 31)).empty());
}

TEST(Holidays, BadItemsSkipTheLineOnly)
{
    THolidayList list;
    Load(list,
         "1,1,0,2000,9999,0,before\r\n"
         "1,2,x,2000,9999,0,\"letter in item 2\"\r\n"
         "1,3,0,20x0,9999,0,\"letter in a year\"\r\n"
         "1,4,0,2000,99999999999,0,\"too large\"\r\n"
         "1,$,0,2000,9999,0,\"bare dollar\"\r\n"
         "5,-2,9,2000,9999,0,\"weekday 9\"\r\n"
         "5,-3,0,2000,9999,0,\"weekday 0\"\r\n"
         "5,-4,-3,2000,9999,0,\"weekday -3\"\r\n"
         "12,31,0,2000,9999,0,after\r\n");
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Rule(i).Name);
    EXPECT_EQ(
        names,
        (std::vector<std::string> { "before", "weekday 9", "weekday 0", "weekday -3", "after" }));
    // A weekday number outside 1..7 stores no weekday: it never matches.
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(list.Rule(i).WeekDays, 0);
        EXPECT_TRUE(MatchingDays(list, i, D(2000, 1, 1), D(2004, 12, 31)).empty());
    }
}

TEST(Holidays, TwinsAreReplacedAndSeparateSpansKept)
{
    TempDir dir;
    const std::string path = dir.path + "twins.hol";
    ASSERT_TRUE(files::WriteAtomic(path,
                                   sjis::FromUtf8("1,1,0,1949,9999,0,元日\r\n"
                                                  "7,-3,2,2003,2019,0,海の日\r\n"
                                                  "7,-3,2,2022,9999,0,海の日\r\n")));
    THolidayList list;
    ASSERT_TRUE(list.LoadFromFile(path));
    ASSERT_EQ(list.Count(), 3);
    // The same file again, appended: every rule replaces its twin.
    ASSERT_TRUE(list.LoadFromFile(path));
    ASSERT_EQ(list.Count(), 3);
    // Both spans of 海の日 hold; the years between do not.
    EXPECT_TRUE(list.IsHoliday(D(2019, 7, 15)));
    EXPECT_FALSE(list.IsHoliday(D(2020, 7, 20)));
    EXPECT_FALSE(list.IsHoliday(D(2021, 7, 19)));
    EXPECT_TRUE(list.IsHoliday(D(2022, 7, 18)));

    // A personal file changes the kind of a public rule with the same day,
    // name and overlapping years.
    const std::string personal = dir.path + "twins.phd";
    ASSERT_TRUE(files::WriteAtomic(personal, sjis::FromUtf8("1,1,0,1949,9999,5,元日\r\n")));
    ASSERT_TRUE(list.LoadFromFile(personal));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Rule(0).Kind, 5);
    EXPECT_FALSE(list.IsHoliday(D(2024, 1, 1)));

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectDay(D(2024, 1, 1)), false);
    EXPECT_EQ(list.DayCount(), 0);
}

TEST(Holidays, DayListOrderAndItems)
{
    THolidayList list;
    Load(list,
         "6,10,0,2000,9999,2,Beta\r\n"
         "6,10,0,2000,9999,5,Bold\r\n"
         "6,10,0,2000,9999,2,Alpha\r\n"
         "6,10,0,2000,9999,1,Off\r\n"
         "0,10,0,2000,9999,7,Monthly\r\n");
    bool off = false;
    EXPECT_EQ(DayNames(list, D(2024, 6, 10), &off),
              (std::vector<std::string> { "Monthly", "Bold", "Alpha", "Beta", "Off" }));
    EXPECT_TRUE(off);
    EXPECT_EQ(list.DayItem(-1), nullptr);
    EXPECT_EQ(list.DayItem(5), nullptr);
    EXPECT_EQ(list.DayItem(4)->Kind, 1);
    // The hint keeps rule order: by day, kind descending, name (here the
    // same order as the day list).
    EXPECT_EQ(list.HintText(D(2024, 6, 10)), "Monthly\r\nBold\r\nAlpha\r\nBeta\r\nOff");
    EXPECT_EQ(list.HintText(D(2024, 6, 11)), "");
}

TEST(Holidays, Anniversaries)
{
    THolidayList list;
    Load(list,
         "4,1,0,1990,9999,3,創立記念日\r\n"
         "12,24,0,1990,9999,3,イブ\r\n");
    EXPECT_TRUE(DayNames(list, D(2000, 4, 1)).empty());
    EXPECT_EQ(list.HintText(D(2000, 4, 1)), "");
    list.DispEvent3 = true;
    EXPECT_EQ(DayNames(list, D(2000, 4, 1)), std::vector<std::string> { "創立記念日:10" });
    EXPECT_EQ(sjis::ToUtf8(list.HintText(D(2000, 4, 1))), "創立記念日:10");
    // The years count from the cell's own date, whatever month is shown.
    EXPECT_EQ(DayNames(list, D(1999, 12, 24)), std::vector<std::string> { "イブ:9" });
    EXPECT_EQ(DayNames(list, D(2025, 12, 24)), std::vector<std::string> { "イブ:35" });
    // Anniversaries are never days off.
    EXPECT_FALSE(list.SelectDay(D(2000, 4, 1)));
    EXPECT_FALSE(list.IsDayOff(D(2000, 4, 1)));
}

TEST(Holidays, SubstituteHolidayOnTheMonday)
{
    // 2006-01-01 is a Sunday (before the 2007 change).
    THolidayList list;
    Load(list, "1,1,0,1949,9999,0,元日\r\n");
    bool off = false;
    EXPECT_EQ(DayNames(list, D(2006, 1, 2), &off), std::vector<std::string> { "振替休日" });
    EXPECT_TRUE(off);
    EXPECT_EQ(list.DayItem(0), &list.SubstituteRule());
    EXPECT_EQ(list.DayItem(0)->Kind, 0);
    EXPECT_TRUE(list.IsDayOff(D(2006, 1, 2)));
    EXPECT_FALSE(list.IsHoliday(D(2006, 1, 2)));
    EXPECT_EQ(sjis::ToUtf8(list.HintText(D(2006, 1, 2))), "振替休日");

    // A marked day on that Monday: the substitute is still added, last.
    Load(list, "1,2,0,2006,2006,5,仕事始め\r\n");
    EXPECT_EQ(DayNames(list, D(2006, 1, 2), &off),
              (std::vector<std::string> { "仕事始め", "振替休日" }));
    EXPECT_TRUE(off);
    EXPECT_EQ(sjis::ToUtf8(list.HintText(D(2006, 1, 2))), "仕事始め\r\n振替休日");

    // A day off of its own on that Monday: no substitute, and (before 2007)
    // none on the Tuesday either.
    Load(list, "1,2,0,2006,2006,0,休業日\r\n");
    EXPECT_EQ(DayNames(list, D(2006, 1, 2), &off),
              (std::vector<std::string> { "仕事始め", "休業日" }));
    EXPECT_TRUE(off);
    EXPECT_TRUE(DayNames(list, D(2006, 1, 3), &off).empty());
    EXPECT_FALSE(off);
    EXPECT_FALSE(list.IsDayOff(D(2006, 1, 3)));
}

TEST(Holidays, SubstituteHolidayFollowsTheLawByDate)
{
    THolidayList list;
    // Sunday 2012-01-01 with a day off on Monday: from 2007 the substitute
    // moves on to the first day that is not a day off.
    Load(list,
         "1,1,0,1949,9999,0,元日\r\n"
         "1,2,0,2012,2012,0,休業日\r\n"
         "11,3,0,1948,9999,0,文化の日\r\n");
    EXPECT_TRUE(list.IsSubstituteHoliday(D(2012, 1, 3)));
    EXPECT_FALSE(list.IsSubstituteHoliday(D(2012, 1, 2)));
    EXPECT_FALSE(list.IsSubstituteHoliday(D(2012, 1, 4)));
    // Before 1973-04-12 there was none: 1967-01-01 was a Sunday.
    EXPECT_FALSE(list.IsDayOff(D(1967, 1, 2)));
    bool off = true;
    EXPECT_TRUE(DayNames(list, D(1967, 1, 2), &off).empty());
    EXPECT_FALSE(off);
    EXPECT_EQ(list.HintText(D(1967, 1, 2)), "");
    // After it: 1974-11-03 was a Sunday.
    EXPECT_TRUE(list.IsDayOff(D(1974, 11, 4)));
    // A holiday on Saturday gives none (2022-01-01).
    EXPECT_FALSE(list.IsDayOff(D(2022, 1, 3)));
    EXPECT_FALSE(list.IsDayOff(D(2022, 1, 2)));

    THolidayList shipped;
    ASSERT_TRUE(shipped.LoadFromFile(ShippedFile()));
    for (days::Day d :
         { D(2008, 5, 6), D(2009, 5, 6), D(2015, 5, 6), D(2020, 5, 6), D(1973, 4, 30) }) {
        SCOPED_TRACE(days::FormatIso(d));
        EXPECT_TRUE(shipped.IsSubstituteHoliday(d));
        EXPECT_EQ(DayNames(shipped, d, &off), std::vector<std::string> { "振替休日" });
        EXPECT_TRUE(off);
        EXPECT_EQ(sjis::ToUtf8(shipped.HintText(d)), "振替休日");
    }
    EXPECT_FALSE(shipped.IsDayOff(D(1967, 1, 2)));
}

TEST(Holidays, HeaderRowHintIsEmpty)
{
    // A rule for the 29th of every month would match 1899-12-29 (day -1),
    // the date the calendar's header row stands for.
    THolidayList list;
    Load(list, "0,29,0,0,9999,0,\"every 29th\"\r\n");
    EXPECT_EQ(list.HintText(-1), "");
    EXPECT_EQ(list.HintText(D(2024, 1, 29)), "every 29th");
}

TEST(Holidays, LoadingFiles)
{
    TempDir temp;
    THolidayList list;
    // A missing file is no error and reads nothing.
    EXPECT_TRUE(list.LoadFromFile(temp.path + "missing.hol"));
    EXPECT_EQ(list.Count(), 0);
    // A file with bare LF lines loads like CR LF.
    const std::string lf = temp.path + "lf.hol";
    ASSERT_TRUE(files::WriteAtomic(lf, "2,3,0,2000,9999,2,a\n2,4,0,2000,9999,2,b\n"));
    EXPECT_TRUE(list.LoadFromFile(lf));
    EXPECT_EQ(list.Count(), 2);
    // A folder in the file's place cannot be read: said so, the rules stay.
    const std::string dir = temp.path + "folder.hol";
    std::filesystem::create_directories(dir);
    std::string error;
    EXPECT_FALSE(list.LoadFromFile(dir, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(list.Count(), 2);
}

TEST(Holidays, ShippedFileMatchesThePublishedList)
{
    const std::string text = [] {
        std::string t;
        EXPECT_TRUE(files::ReadAll(ShippedFile(), t));
        return t;
    }();
    // Shift_JIS with CR LF line ends throughout.
    EXPECT_EQ(sjis::ToCrLf(text), text);
    EXPECT_EQ(sjis::FromUtf8(sjis::ToUtf8(text)), text);

    THolidayList list;
    ASSERT_TRUE(list.LoadFromFile(ShippedFile()));
    EXPECT_EQ(
        list.Count(), static_cast<int>(sjis::SplitLines(text).size()) - [&] {
            int comments = 0;
            for (const auto& line : sjis::SplitLines(text))
                comments += line.empty() || line[0] == ';';
            return comments;
        }());

    std::ifstream in(std::string(KALVERO_SOURCE_DIR) + "/tests/data/holidays-1955-2026.txt");
    ASSERT_TRUE(in);
    std::map<days::Day, std::string> listed;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        listed[D(std::stoi(line.substr(0, 4)), std::stoi(line.substr(5, 2)),
                 std::stoi(line.substr(8, 2)))] = line.substr(11);
    }
    ASSERT_GT(listed.size(), 1000u);

    int mismatches = 0;
    for (days::Day d = D(1955, 1, 1); d <= D(2026, 12, 31); ++d) {
        const bool expected = listed.count(d) != 0;
        bool off = false;
        auto names = DayNames(list, d, &off);
        if (list.IsDayOff(d) != expected || off != expected) {
            ADD_FAILURE() << days::FormatIso(d) << (expected ? " is listed" : " is not listed");
            if (++mismatches > 10)
                break;
            continue;
        }
        if (!expected)
            continue;
        // The names agree, apart from the list's plain "休日" for substitute
        // and citizens' holidays and its shorter names of one-off days.
        const std::string& name = listed[d];
        if (name.rfind("休日", 0) == 0)
            continue;
        bool found = false;
        for (const auto& n : names)
            found |= n.find(name) != std::string::npos || name.find(n) != std::string::npos;
        EXPECT_TRUE(found) << days::FormatIso(d) << " " << name;
    }
}
