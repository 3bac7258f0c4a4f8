// Recurrence over real calendars, and the engine checked against a plain
// day-by-day model of the rules.

#include "core/recurrence.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <random>
#include <set>

namespace {

using days::Day;

TEventData Item(Day date, std::uint32_t repeat, int start = -1, int end = -1)
{
    TEventData e;
    e.Date = date;
    e.Repeat = repeat | rp::Repeating;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    e.Subject = "x";
    return e;
}

std::uint32_t Weekdays(std::initializer_list<int> dows)
{
    std::uint32_t bits = 0;
    for (int d : dows)
        bits |= rp::WeekdayBit(d);
    return bits;
}

std::uint32_t Excluding(std::initializer_list<int> dows)
{
    return Weekdays(dows) << rp::ExcludedShift;
}

constexpr int Sun = 1, Mon = 2, Tue = 3, Wed = 4, Thu = 5, Fri = 6, Sat = 7;

// Japan's national holidays of 2024 and 2025 (Cabinet Office list).
const std::set<Day>& Holidays()
{
    static const std::set<Day> h = [] {
        std::set<Day> s;
        const int list[][3] = {
            { 2024, 1, 1 },   { 2024, 1, 8 },   { 2024, 2, 11 },  { 2024, 2, 12 },  { 2024, 2, 23 },
            { 2024, 3, 20 },  { 2024, 4, 29 },  { 2024, 5, 3 },   { 2024, 5, 4 },   { 2024, 5, 5 },
            { 2024, 5, 6 },   { 2024, 7, 15 },  { 2024, 8, 11 },  { 2024, 8, 12 },  { 2024, 9, 16 },
            { 2024, 9, 22 },  { 2024, 9, 23 },  { 2024, 10, 14 }, { 2024, 11, 3 },  { 2024, 11, 4 },
            { 2024, 11, 23 }, { 2025, 1, 1 },   { 2025, 1, 13 },  { 2025, 2, 11 },  { 2025, 2, 23 },
            { 2025, 2, 24 },  { 2025, 3, 20 },  { 2025, 4, 29 },  { 2025, 5, 3 },   { 2025, 5, 4 },
            { 2025, 5, 5 },   { 2025, 5, 6 },   { 2025, 7, 21 },  { 2025, 8, 11 },  { 2025, 9, 15 },
            { 2025, 9, 23 },  { 2025, 10, 13 }, { 2025, 11, 3 },  { 2025, 11, 23 }, { 2025, 11, 24 }
        };
        for (const auto& d : list)
            s.insert(D(d[0], d[1], d[2]));
        return s;
    }();
    return h;
}

struct Store
{
    TSchedList list;
    Store()
    {
        list.IsHoliday = [](Day d) { return Holidays().count(d) > 0; };
    }
    Day Next(const TEventData& e, Day a) const { return list.NextOccurrence(e, a); }
    // Every day of [from, to] on which the item occurs.
    std::vector<Day> Days(const TEventData& e, Day from, Day to) const
    {
        std::vector<Day> out;
        for (Day d = from; d <= to; ++d)
            if (Next(e, d) == d)
                out.push_back(d);
        return out;
    }
};

} // namespace

TEST(Recurrence, SingleItemsAnswerTheirDate)
{
    Store s;
    TEventData e = Item(D(2024, 5, 1), 0);
    e.Repeat = 0;
    EXPECT_EQ(s.Next(e, D(2020, 1, 1)), D(2024, 5, 1));
    EXPECT_EQ(s.Next(e, D(2030, 1, 1)), D(2024, 5, 1));
    EXPECT_EQ(s.Days(e, D(2024, 4, 1), D(2024, 6, 1)), std::vector<Day> { D(2024, 5, 1) });
}

TEST(Recurrence, DailyWithExcludedWeekdaysAndShift)
{
    Store s;
    // 2024-06-07 is a Friday.
    TEventData e = Item(D(2024, 6, 1), rp::Daily | Excluding({ Sat, Sun }));
    EXPECT_EQ(s.Next(e, D(2024, 6, 8)), D(2024, 6, 10));
    EXPECT_EQ(s.Next(e, D(2024, 6, 7)), D(2024, 6, 7));
    e.Repeat |= rp::ShiftEarlier;
    EXPECT_EQ(s.Next(e, D(2024, 6, 7)), D(2024, 6, 7));
    // A shift never goes before the asked day.
    EXPECT_EQ(s.Next(e, D(2024, 6, 8)), D(2024, 6, 10));
    EXPECT_EQ(s.Next(e, D(2024, 6, 9)), D(2024, 6, 10));

    // Excluded dates, read from the comma text.
    TEventData x = Item(D(2024, 5, 1), rp::Daily);
    x.ExceptDates = "2024/05/02,2024/05/03";
    EXPECT_EQ(s.Days(x, D(2024, 5, 1), D(2024, 5, 5)),
              (std::vector<Day> { D(2024, 5, 1), D(2024, 5, 4), D(2024, 5, 5) }));
    // The cached rule follows a change of the text.
    x.ExceptDates = "2024/05/04";
    EXPECT_EQ(s.Next(x, D(2024, 5, 4)), D(2024, 5, 5));
    EXPECT_EQ(s.Next(x, D(2024, 5, 2)), D(2024, 5, 2));
}

TEST(Recurrence, WeeklyOnAHolidayMondayShiftsToSunday)
{
    Store s;
    // 2024-01-08 (Coming of Age Day) and 2024-02-12 are holiday Mondays.
    TEventData e = Item(D(2024, 1, 1),
                        rp::Weekly | rp::UseWeekdays | Weekdays({ Mon }) | rp::SkipHolidays |
                            rp::ShiftEarlier);
    EXPECT_EQ(s.Next(e, D(2024, 1, 3)), D(2024, 1, 7));
    EXPECT_EQ(s.Next(e, D(2024, 1, 8)), D(2024, 1, 15));
    // New Year's Day, the first Monday, cannot move before the first day
    // asked; 2024-02-11 is a holiday Sunday, so 02-12 moves to the Saturday.
    EXPECT_EQ(s.Days(e, D(2024, 1, 1), D(2024, 2, 29)),
              (std::vector<Day> { D(2024, 1, 7), D(2024, 1, 15), D(2024, 1, 22), D(2024, 1, 29),
                                  D(2024, 2, 5), D(2024, 2, 10), D(2024, 2, 19), D(2024, 2, 26) }));
    // Without the shift the holiday is skipped. (2024-01-01 is a holiday too.)
    e.Repeat &= ~rp::ShiftEarlier;
    EXPECT_EQ(s.Next(e, D(2024, 1, 3)), D(2024, 1, 15));
    EXPECT_EQ(s.Next(e, D(2024, 1, 1)), D(2024, 1, 15));
    // Bit 7 clear: the item answers its date.
    TEventData f = Item(D(2024, 1, 1), rp::Weekly | Weekdays({ Mon }));
    EXPECT_EQ(s.Next(f, D(2024, 3, 1)), D(2024, 1, 1));
}

TEST(Recurrence, MonthlyDayEndAndWeekRules)
{
    Store s;
    TEventData on31 = Item(D(2024, 1, 31), rp::Monthly);
    std::vector<Day> got = s.Days(on31, D(2024, 1, 1), D(2024, 12, 31));
    EXPECT_EQ(got,
              (std::vector<Day> { D(2024, 1, 31), D(2024, 3, 31), D(2024, 5, 31), D(2024, 7, 31),
                                  D(2024, 8, 31), D(2024, 10, 31), D(2024, 12, 31) }));
    EXPECT_EQ(s.Next(on31, D(2024, 2, 1)), D(2024, 3, 31));

    TEventData end = Item(D(2023, 1, 31), rp::Monthly | rp::LastDay);
    EXPECT_EQ(s.Next(end, D(2023, 2, 1)), D(2023, 2, 28));
    EXPECT_EQ(s.Next(end, D(2024, 2, 1)), D(2024, 2, 29));
    EXPECT_EQ(s.Next(end, D(2024, 4, 2)), D(2024, 4, 30));
    EXPECT_EQ(s.Days(end, D(2024, 1, 1), D(2024, 12, 31)).size(), 12u);

    // Second and fourth Tuesday.
    TEventData tue =
        Item(D(2024, 1, 1),
             rp::Monthly | rp::UseWeekdays | Weekdays({ Tue }) | rp::WeekBit(2) | rp::WeekBit(4));
    got = s.Days(tue, D(2024, 1, 1), D(2024, 12, 31));
    ASSERT_EQ(got.size(), 24u);
    for (Day d : got) {
        const int md = days::Decode(d).day;
        EXPECT_EQ(days::DayOfWeek(d), Tue);
        EXPECT_TRUE((md >= 8 && md <= 14) || (md >= 22 && md <= 28)) << days::Format(d);
    }
    EXPECT_EQ(got[0], D(2024, 1, 9));
    EXPECT_EQ(got[1], D(2024, 1, 23));

    // Month end excluded unless the item is on the month end itself: a
    // monthly item on the 31st then never occurs, and the search ends.
    TEventData never = Item(D(2024, 1, 31), rp::Monthly | rp::SkipMonthEnd);
    EXPECT_EQ(s.Next(never, D(2024, 1, 1)), -1);
    end.Repeat |= rp::SkipMonthEnd;
    EXPECT_EQ(s.Next(end, D(2024, 2, 1)), D(2024, 2, 29));

    // The 15th shifted to the day before when excluded.
    TEventData mid = Item(D(2024, 1, 15), rp::Monthly | rp::ShiftEarlier);
    mid.ExceptDates = "2024/06/15";
    EXPECT_EQ(s.Next(mid, D(2024, 6, 1)), D(2024, 6, 14));
    EXPECT_EQ(s.Next(mid, D(2024, 6, 15)), D(2024, 7, 15));
}

TEST(Recurrence, YearlyRules)
{
    Store s;
    TEventData leap = Item(D(2004, 2, 29), rp::Yearly);
    EXPECT_EQ(s.Next(leap, D(2004, 3, 1)), D(2008, 2, 29));
    EXPECT_EQ(s.Next(leap, D(2099, 3, 1)), D(2104, 2, 29));
    EXPECT_EQ(s.Days(leap, D(2004, 1, 1), D(2012, 12, 31)),
              (std::vector<Day> { D(2004, 2, 29), D(2008, 2, 29), D(2012, 2, 29) }));

    TEventData feb = Item(D(2003, 2, 28), rp::Yearly | rp::LastDay);
    EXPECT_EQ(s.Next(feb, D(2004, 1, 1)), D(2004, 2, 29));
    EXPECT_EQ(s.Next(feb, D(2004, 3, 1)), D(2005, 2, 28));

    // Second Monday of January (Coming of Age Day since 2000).
    TEventData coming =
        Item(D(2000, 1, 10), rp::Yearly | rp::UseWeekdays | Weekdays({ Mon }) | rp::WeekBit(2));
    EXPECT_EQ(s.Next(coming, D(2024, 1, 1)), D(2024, 1, 8));
    EXPECT_EQ(s.Next(coming, D(2024, 1, 9)), D(2025, 1, 13));
    EXPECT_EQ(s.Next(coming, D(2024, 6, 1)), D(2025, 1, 13));
}

TEST(Recurrence, LimitDateAndTimes)
{
    Store s;
    TEventData e = Item(D(2024, 3, 1), rp::Daily, 14 * 60, 15 * 60);
    e.LimitDate = D(2024, 3, 10);
    EXPECT_EQ(s.Next(e, D(2024, 3, 10)), D(2024, 3, 10));
    for (Day d = D(2024, 3, 11); d < D(2024, 4, 30); ++d)
        ASSERT_EQ(s.Next(e, d), -1);

    // An item at 25:00 belongs to its own day, for the search and the day list.
    TEventData late =
        Item(D(2024, 3, 4), rp::Weekly | rp::UseWeekdays | Weekdays({ Mon }), 1500, 1560);
    EXPECT_EQ(s.Next(late, D(2024, 3, 4)), D(2024, 3, 4));
    EXPECT_EQ(s.Next(late, D(2024, 3, 5)), D(2024, 3, 11));
    s.list.KindMask = 7;
    s.list.AddEvent(late, false);
    s.list.SelectDay(D(2024, 3, 11));
    EXPECT_EQ(s.list.DayEventCount(), 1);
    s.list.SelectDay(D(2024, 3, 12));
    EXPECT_EQ(s.list.DayEventCount(), 0);
}

TEST(Recurrence, MendedSearches)
{
    Store s;
    // An item at 00:00 is never answered on an excluded day (2024-06-08 is a
    // Saturday).
    TEventData midnight =
        Item(D(2024, 6, 1), rp::Daily | Excluding({ Sat, Sun }) | rp::ShiftEarlier, 0, 60);
    EXPECT_EQ(s.Next(midnight, D(2024, 6, 8)), D(2024, 6, 10));

    // Monday and Tuesday at 25:00 with Monday 2025-01-13 excluded.
    TEventData late =
        Item(D(2025, 1, 6), rp::Weekly | rp::UseWeekdays | Weekdays({ Mon, Tue }), 1500, 1560);
    late.ExceptDates = "2025/01/13";
    EXPECT_EQ(s.Next(late, D(2025, 1, 13)), D(2025, 1, 14));

    // Asked before the first day: the search goes on to it.
    TEventData monThu = Item(D(2025, 1, 9), rp::Weekly | rp::UseWeekdays | Weekdays({ Mon, Thu }));
    EXPECT_EQ(s.Next(monThu, D(2025, 1, 6)), D(2025, 1, 9));
    TEventData daily = Item(D(2025, 1, 9), rp::Daily);
    EXPECT_EQ(s.Next(daily, D(1990, 1, 1)), D(2025, 1, 9));

    // Rules without days answer their date; rules that never serve end.
    TEventData empty = Item(D(2025, 1, 9), rp::Weekly | rp::UseWeekdays);
    EXPECT_EQ(s.Next(empty, D(2025, 2, 1)), D(2025, 1, 9));
    TEventData noDays = Item(D(2025, 1, 9), rp::Monthly | rp::UseWeekdays | rp::WeekBit(1));
    EXPECT_EQ(s.Next(noDays, D(2025, 2, 1)), D(2025, 1, 9));
    TEventData allOff = Item(D(2025, 1, 9), rp::Daily | Excluding({ 1, 2, 3, 4, 5, 6, 7 }));
    EXPECT_EQ(s.Next(allOff, D(2025, 2, 1)), -1);
    TEventData holidaysOnly =
        Item(D(2025, 1, 6), rp::Weekly | rp::UseWeekdays | Weekdays({ Mon }) | rp::SkipHolidays);
    Store always;
    always.list.IsHoliday = [](Day) { return true; };
    EXPECT_EQ(always.Next(holidaysOnly, D(2025, 1, 6)), -1);

    // Two days on and more: the occurrence day is the day it belongs to.
    TEventData twoDays =
        Item(D(2025, 1, 6), rp::Weekly | rp::UseWeekdays | Weekdays({ Mon }), 2900, 2950);
    EXPECT_EQ(s.Next(twoDays, D(2025, 1, 6)), D(2025, 1, 6));
    EXPECT_EQ(s.Next(twoDays, D(2025, 1, 7)), D(2025, 1, 13));
    TEventData threeDays = Item(D(2025, 1, 6), rp::Daily, 4400, 4500);
    EXPECT_EQ(s.Days(threeDays, D(2025, 1, 6), D(2025, 1, 8)),
              (std::vector<Day> { D(2025, 1, 6), D(2025, 1, 7), D(2025, 1, 8) }));

    // The end of the calendar ends the search.
    TEventData last = Item(D(9999, 12, 1), rp::Monthly);
    EXPECT_EQ(s.Next(last, D(9999, 12, 2)), -1);
    EXPECT_EQ(s.Next(last, days::kMaxDay + 5), -1);
}

namespace {

// The rules read day by day, as plainly as they are stated: no jumps, no
// compiled rule. The engine must answer exactly as this model does.
struct Model
{
    const TEventData& e;
    const recur::HolidayTest& holiday;

    bool InMask(Day d) const { return e.Repeat & rp::WeekdayBit(days::DayOfWeek(d)); }
    bool InWeeks(Day d) const { return e.Repeat & rp::WeekBit((days::Decode(d).day - 1) / 7 + 1); }
    bool Excluded(Day d) const
    {
        const std::uint32_t R = e.Repeat;
        if ((R & rp::SkipHolidays) && holiday(d))
            return true;
        days::Ymd y = days::Decode(d);
        if ((R & rp::SkipMonthEnd) && !(R & rp::LastDay) && y.day == MonthDays(y.year, y.month))
            return true;
        const std::uint32_t ex = (R & rp::ExcludedWeekdays) >> rp::ExcludedShift;
        if (ex == rp::WeekdayMask)
            return true;
        const std::uint32_t bit = rp::WeekdayBit(days::DayOfWeek(d));
        if ((ex & bit) && (!(R & rp::UseWeekdays) || !(R & bit)))
            return true;
        for (const std::string& t : sjis::ReadCommaText(e.ExceptDates))
            if (StrToDay(t) == d)
                return true;
        return false;
    }
    Day Next(Day a) const
    {
        const std::uint32_t R = e.Repeat;
        if (R == 0)
            return e.Date;
        const days::Ymd d0 = days::Decode(e.Date);
        const bool weekRule = (R & rp::WeekMask) && !(R & rp::LastDay);
        Day cur = a;
        for (int n = 0; n < 20000; ++n) {
            Day c = -1, g = -1;
            days::Ymd ya = days::Decode(cur);
            int y = ya.year, m = ya.month;
            switch (R & rp::PatternMask) {
            case rp::Daily:
                c = cur;
                g = cur + 1;
                break;
            case rp::Weekly:
                if (!(R & rp::UseWeekdays) || !(R & rp::WeekdayMask))
                    return e.Date;
                for (c = cur; !InMask(c); ++c) { }
                g = c + 1;
                break;
            case rp::Monthly:
            case rp::Yearly: {
                const bool yearly = (R & rp::PatternMask) == rp::Yearly;
                if (weekRule) {
                    if (!(R & rp::WeekdayMask))
                        return e.Date;
                    c = cur;
                    if (yearly && ya.month != d0.month)
                        c = D(ya.month > d0.month ? y + 1 : y, d0.month, 1);
                    while (!(InMask(c) && InWeeks(c) &&
                             (!yearly || days::Decode(c).month == d0.month)))
                        ++c;
                    g = c + 1;
                } else if (R & rp::LastDay) {
                    const int mm = yearly ? d0.month : m;
                    c = D(y, mm, MonthDays(y, mm));
                    g = yearly ? D(y + 1, mm, MonthDays(y + 1, mm))
                               : (m == 12 ? D(y + 1, 1, 31) : D(y, m + 1, MonthDays(y, m + 1)));
                } else if (yearly) {
                    while (MonthDays(y, d0.month) < d0.day)
                        ++y;
                    c = D(y, d0.month, d0.day);
                    do
                        ++y;
                    while (MonthDays(y, d0.month) < d0.day);
                    g = D(y, d0.month, d0.day);
                } else {
                    auto step = [&] { m == 12 ? (m = 1, ++y) : ++m; };
                    while (MonthDays(y, m) < d0.day)
                        step();
                    c = D(y, m, d0.day);
                    do
                        step();
                    while (MonthDays(y, m) < d0.day);
                    g = D(y, m, d0.day);
                }
                break;
            }
            }
            if (c < e.Date) {
                cur = g;
                continue;
            }
            if (e.LimitDate > 0 && c > e.LimitDate)
                return -1;
            if (Excluded(c)) {
                if (R & rp::ShiftEarlier) {
                    Day p = c;
                    while (p >= cur && Excluded(p))
                        --p;
                    if (p >= cur)
                        return p;
                }
                cur = g;
                continue;
            }
            if (c < cur) {
                cur = g;
                continue;
            }
            return c;
        }
        return -1;
    }
};

} // namespace

TEST(Recurrence, EngineAgreesWithTheDayByDayModel)
{
    std::mt19937 rng(20240601);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const recur::HolidayTest holiday = [](Day d) { return Holidays().count(d) > 0 || d % 13 == 0; };
    int occurrences = 0;
    for (int round = 0; round < 1500; ++round) {
        TEventData e = Item(D(2024, 1, 1) + pick(500), 0);
        std::uint32_t R = rp::Repeating | (static_cast<std::uint32_t>(pick(4)) << rp::PatternShift);
        R |= static_cast<std::uint32_t>(pick(128)); // weekday mask
        if (pick(4))
            R |= rp::UseWeekdays;
        if (pick(3) == 0)
            R |= rp::LastDay;
        if (pick(2))
            R |= static_cast<std::uint32_t>(pick(32)) << rp::WeekShift;
        if (pick(2))
            R |= static_cast<std::uint32_t>(pick(128) & pick(128)) << rp::ExcludedShift;
        if (pick(3) == 0)
            R |= rp::SkipHolidays;
        if (pick(4) == 0)
            R |= rp::SkipMonthEnd;
        if (pick(2))
            R |= rp::ShiftEarlier;
        e.Repeat = R;
        if (pick(4) == 0)
            e.LimitDate = e.Date + pick(700);
        if (pick(3) == 0)
            e.ExceptDates =
                days::Format(e.Date + pick(60)) + "," + days::Format(e.Date + pick(400));
        const recur::Rule rule = recur::Compile(e);
        const Model model { e, holiday };
        for (int k = 0; k < 12; ++k) {
            const Day a = e.Date - 70 + pick(900);
            const Day want = model.Next(a);
            ASSERT_EQ(recur::Next(rule, a, holiday), want)
                << "repeat " << std::hex << R << std::dec << " date " << days::Format(e.Date)
                << " asked " << days::Format(a);
            recur::DayInfo info(a);
            ASSERT_EQ(recur::OccursOn(rule, info, holiday), want == a)
                << "repeat " << std::hex << R << std::dec << " date " << days::Format(e.Date)
                << " asked " << days::Format(a);
            if (want == a) {
                recur::DayInfo fresh(a);
                ASSERT_TRUE(recur::MayOccurOn(recur::CompilePattern(e), fresh, holiday))
                    << "repeat " << std::hex << R << std::dec << " date " << days::Format(e.Date)
                    << " asked " << days::Format(a);
            }
            occurrences += want == a;
        }
    }
    // The random rules must exercise both answers.
    EXPECT_GT(occurrences, 1000);
}
