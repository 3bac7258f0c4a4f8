#include "core/eventdata.h"
#include "core/sjis.h"

#include "support/testutil.h"
#include <gtest/gtest.h>

namespace {

days::Moment At(days::Day day, int h, int m)
{
    return days::MomentOf(day, h * 60 + m);
}

} // namespace

TEST(LeftStrBytes, NeverSplitsACharacter)
{
    const std::string three = SJ("予定表"); // 6 bytes
    EXPECT_EQ(LeftStrBytes(three, 3), SJ("予"));
    EXPECT_EQ(LeftStrBytes(three, 4), SJ("予定"));
    EXPECT_EQ(LeftStrBytes(three, 80), three);
    EXPECT_EQ(LeftStrBytes(three, 0), three);
    EXPECT_EQ(LeftStrBytes(three, -5), three);
    // Half-width katakana are single bytes: they never pair with the next one.
    EXPECT_EQ(LeftStrBytes(SJ("ｱ漢"), 2), SJ("ｱ"));
    EXPECT_EQ(LeftStrBytes(SJ("ｱｲｳ"), 2), SJ("ｱｲ"));
    EXPECT_EQ(LeftStrBytes("abc", 2), "ab");
}

TEST(Alarm, TextsAndPresets)
{
    std::int32_t n = -1, u = -1;
    EXPECT_TRUE(ParseAlarm(SJ("15@分前"), n, u));
    EXPECT_EQ(n, 15);
    EXPECT_EQ(u, 0);
    EXPECT_TRUE(ParseAlarm(SJ("2@時間前"), n, u));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(u, 1);
    EXPECT_TRUE(ParseAlarm(SJ("1@日前"), n, u));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(u, 2);
    // Preset 3 is thirty minutes before; "0" clears the alarm.
    EXPECT_TRUE(ParseAlarm("3", n, u));
    EXPECT_EQ(n, 30);
    EXPECT_EQ(u, 0);
    EXPECT_TRUE(ParseAlarm("0", n, u));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(ParseAlarm("5", n, u));
    EXPECT_EQ(n, 1);
    EXPECT_EQ(u, 2);

    // Texts that give no alarm.
    for (const std::string& t : { SJ("0@分前"), SJ("2@時間"), SJ("2@日前x"), SJ("x@分前") }) {
        EXPECT_TRUE(ParseAlarm(t, n, u)) << t;
        EXPECT_EQ(n, 0) << t;
        EXPECT_EQ(u, 0) << t;
    }
    // Texts that are neither form: no alarm, and reported as not read.
    for (const std::string& t : { SJ("無し"), std::string("6"), std::string("-1"), std::string(""),
                                  std::string("99999999999@") + SJ("分前") }) {
        n = u = 7;
        EXPECT_FALSE(ParseAlarm(t, n, u)) << t;
        EXPECT_EQ(n, 0);
        EXPECT_EQ(u, 0);
    }
    EXPECT_EQ(AlarmUnitList(), SJ("分前,時間前,日前"));
    EXPECT_EQ(AlarmText(5, 1), SJ("5@時間前"));
}

TEST(Category, NamesAndColours)
{
    std::string name;
    TColor fg = 0, bg = 0;
    ParseKind(SJ("仕事:FF0000"), name, fg, bg);
    EXPECT_EQ(name, SJ("仕事"));
    EXPECT_EQ(fg, 0xFF0000); // blue
    EXPECT_EQ(bg, -1);
    ParseKind(SJ("仕事:FF0000:FFFFFF"), name, fg, bg);
    EXPECT_EQ(bg, 0xFFFFFF);
    ParseKind(SJ("仕事"), name, fg, bg);
    EXPECT_EQ(name, SJ("仕事"));
    EXPECT_EQ(fg, kWindowTextColor);
    EXPECT_EQ(bg, -1);
    ParseKind("x:red", name, fg, bg);
    EXPECT_EQ(fg, -1);
    // A blank belongs to the name; the colours stay.
    ParseKind("my cat:FF0000:FFFFFF", name, fg, bg);
    EXPECT_EQ(name, "my cat");
    EXPECT_EQ(fg, 0xFF0000);
    EXPECT_EQ(bg, 0xFFFFFF);
    // One colon at the end adds no part; more than three parts read as a name.
    ParseKind("x:", name, fg, bg);
    EXPECT_EQ(fg, kWindowTextColor);
    ParseKind("x:1:2:3", name, fg, bg);
    EXPECT_EQ(fg, kWindowTextColor);
    ParseKind("", name, fg, bg);
    EXPECT_EQ(name, "");
    EXPECT_EQ(fg, kWindowTextColor);

    EXPECT_EQ(KindName(SJ("会議:0000FF")), SJ("会議"));
    EXPECT_EQ(KindName("plain"), "plain");
    EXPECT_EQ(HexToColor("80000008"), kWindowTextColor);
    EXPECT_EQ(HexToColor("ff"), 0xFF);
    EXPECT_EQ(HexToColor("100000000"), -1);
    EXPECT_EQ(HexToColor(""), -1);
    EXPECT_EQ(HexToColor("0x10"), -1);
}

TEST(TimeText, MinutesBothWays)
{
    EXPECT_EQ(MinutesToStr(545), "09:05");
    EXPECT_EQ(MinutesToStr(1500), "25:00");
    EXPECT_EQ(MinutesToStr(0), "00:00");
    EXPECT_EQ(TimeText(-1), "-1");
    EXPECT_EQ(TimeText(600), "10:00");

    EXPECT_EQ(StrToMinutes("9"), 540);
    EXPECT_EQ(StrToMinutes("9:5"), 545);
    EXPECT_EQ(StrToMinutes("9:"), 540);
    EXPECT_EQ(StrToMinutes("9:75"), 615);
    EXPECT_EQ(StrToMinutes("25:00"), 1500);
    EXPECT_EQ(StrToMinutes(""), 0);
    EXPECT_EQ(StrToMinutes(":30"), -1);
    EXPECT_EQ(StrToMinutes("9:00:00"), -1);
    EXPECT_EQ(StrToMinutes("9 :00"), -1);
    EXPECT_EQ(StrToMinutes("-1"), -1);
    EXPECT_EQ(StrToMinutes("35791394:07"), 2147483647);
    EXPECT_EQ(StrToMinutes("35791394:08"), -1);
    EXPECT_EQ(StrToMinutes("99999999999999999999"), -1);
}

TEST(StrToDay, FormsAndImpossibleDates)
{
    const days::Day may1 = D(2004, 5, 1);
    EXPECT_EQ(StrToDay("2004/5/1"), may1);
    EXPECT_EQ(StrToDay("2004-05-01"), may1);
    EXPECT_EQ(StrToDay("2004.05.01"), may1);
    EXPECT_EQ(StrToDay("2004/05/01 10:00"), may1);
    EXPECT_EQ(StrToDay("1899/12/30"), 0);
    EXPECT_EQ(StrToDay("2004/05-01"), -1);
    EXPECT_EQ(StrToDay("2004/0/01"), -1);
    EXPECT_EQ(StrToDay("2004/05/0"), -1);
    EXPECT_EQ(StrToDay("0/05/01"), -1);
    EXPECT_EQ(StrToDay("2004/13/01"), -1);
    EXPECT_EQ(StrToDay("2005/04/31"), -1);
    EXPECT_EQ(StrToDay("2005/02/29"), -1);
    EXPECT_EQ(StrToDay("10000/01/01"), -1);
    EXPECT_EQ(StrToDay("99999999999/1/1"), -1);
    EXPECT_EQ(StrToDay("-1"), -1);
    EXPECT_EQ(StrToDay(""), -1);
    // 1899/12/29 is day -1 itself: only the Try form tells it from failure.
    days::Day d = 0;
    EXPECT_TRUE(TryStrToDay("1899/12/29", d));
    EXPECT_EQ(d, -1);
    EXPECT_FALSE(TryStrToDay("2004/13/01", d));
}

TEST(Moments, StartAndAlarmBase)
{
    TEventData e;
    const days::Day day = D(2024, 3, 10);
    EXPECT_EQ(EventStartTime(e, day), At(day, 9, 0));
    EXPECT_EQ(AlarmBaseTime(e, day), 0);
    e.AlarmBefore = 5;
    EXPECT_EQ(AlarmBaseTime(e, day), At(day, 18, 0));
    e.HasTime = true;
    e.StartTime = 1500;
    EXPECT_EQ(EventStartTime(e, day), At(day + 1, 1, 0));
    EXPECT_EQ(AlarmBaseTime(e, day), At(day + 1, 1, 0));
    EXPECT_EQ(MonthDays(2004, 2), 29);
    EXPECT_EQ(MonthDays(1900, 2), 28);
    EXPECT_EQ(MonthDays(2000, 2), 29);
    EXPECT_EQ(MonthDays(2023, 4), 30);
}

TEST(Alarm, UntimedItemRingsFromMorningAndIsPastFromEvening)
{
    const days::Day day = D(2024, 6, 3);
    days::FixedClock clock(At(day, 8, 54));
    TEventData e;
    e.Date = day;
    e.AlarmBefore = 5;
    e.AlarmUnit = 0;
    SetOccurrence(e, day);
    EXPECT_EQ(e.NextDate, day);
    EXPECT_EQ(e.AlarmTime, At(day, 8, 55));
    EXPECT_FALSE(e.Alarmed);
    EXPECT_EQ(AlarmState(&e, day), 4);
    clock.Set(At(day, 8, 55));
    EXPECT_EQ(AlarmState(&e, day), 3);
    clock.Set(At(day, 17, 59));
    SetOccurrence(e, day);
    EXPECT_FALSE(e.Alarmed);
    clock.Set(At(day, 18, 0));
    SetOccurrence(e, day);
    EXPECT_TRUE(e.Alarmed);
    EXPECT_EQ(AlarmState(&e, day), 2);

    // A day's alarm rings from midnight of the day before.
    e.AlarmBefore = 1;
    e.AlarmUnit = 2;
    SetOccurrence(e, day);
    EXPECT_EQ(e.AlarmTime, days::MomentOf(day - 1));
    e.AlarmUnit = 1;
    SetOccurrence(e, day);
    EXPECT_EQ(e.AlarmTime, At(day, 8, 0));
    e.AlarmBefore = 0;
    SetOccurrence(e, day);
    EXPECT_EQ(e.AlarmTime, 0);
    EXPECT_EQ(AlarmState(&e, day), 0);
    EXPECT_EQ(AlarmState(nullptr, day), 0);
}

TEST(Alarm, States)
{
    const days::Day day = D(2024, 6, 3);
    days::FixedClock clock(At(day, 12, 0));
    TEventData e;
    e.Date = day;
    e.HasTime = true;
    e.StartTime = 14 * 60;
    e.EndTime = 15 * 60;
    e.AlarmBefore = 30;
    SetOccurrence(e, day);
    EXPECT_EQ(AlarmState(&e, day), 4);
    e.Cancelled = true;
    EXPECT_EQ(AlarmState(&e, day), 1);
    e.Cancelled = false;
    // Already alarmed, its start still ahead.
    e.Alarmed = true;
    EXPECT_EQ(AlarmState(&e, day), 5);
    clock.Set(At(day, 14, 0));
    EXPECT_EQ(AlarmState(&e, day), 2);
    // An open deadline stays due after its alarm until it is done.
    e.Priority = 4;
    EXPECT_EQ(AlarmState(&e, day), 3);
    SetOccurrence(e, day);
    EXPECT_FALSE(e.Alarmed);
    e.Done = true;
    EXPECT_EQ(AlarmState(&e, day), 1);

    // Repeating items: other days of the series.
    TEventData r = e;
    r.Done = false;
    r.Priority = 0;
    r.Repeat = rp::Repeating | rp::Daily;
    SetOccurrence(r, day);
    EXPECT_EQ(AlarmState(&r, day - 1), 2);
    EXPECT_EQ(AlarmState(&r, day + 1), 6);
    r.LimitDate = day - 1;
    EXPECT_EQ(AlarmState(&r, day), 2);
    // No occurrence: a limited series has none, an unlimited one its Date.
    SetOccurrence(r, -1);
    EXPECT_EQ(r.NextDate, -1);
    r.LimitDate = -1;
    SetOccurrence(r, -1);
    EXPECT_EQ(r.NextDate, day);
}
