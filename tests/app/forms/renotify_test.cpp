#include "app/forms/renotify.h"

#include <gtest/gtest.h>

namespace {

const days::Day kDay = days::Encode(2004, 5, 10);

days::Moment At(days::Day day, int hour, int minute)
{
    return days::MomentOf(day, hour * 60 + minute);
}

// An item with an alarm whose current occurrence is on day, from start to
// start + 60 minutes (untimed when start is negative).
TEventData Item(days::Day day, int start, int unit)
{
    TEventData e;
    e.Date = e.NextDate = day;
    if (start >= 0) {
        e.HasTime = true;
        e.StartTime = start;
        e.EndTime = start + 60;
    }
    e.AlarmBefore = unit == 2 ? 1 : 15;
    e.AlarmUnit = unit;
    return e;
}

struct Settings
{
    Settings() { p.LoadFromFile(""); }
    TInitParam p;
};

} // namespace

TEST(ReNotify, MomentByUnitAndInterval)
{
    struct Case
    {
        const char* what;
        TEventData item;
        days::Moment now;
        bool alermUnit;
        int interval;
        days::Moment at;
        bool visible;
    };
    const Case cases[] = {
        { "minutes, start in an hour: in 5 minutes", Item(kDay, 600, 0), At(kDay, 9, 0), false, 1,
          At(kDay, 9, 5), true },
        { "minutes, start in 3 minutes: 5 minutes before it is past", Item(kDay, 543, 0),
          At(kDay, 9, 0), false, 1, At(kDay, 8, 58), false },
        { "hours, start in 30 minutes: 5 minutes before the start", Item(kDay, 600, 1),
          At(kDay, 9, 30), false, 1, At(kDay, 9, 55), true },
        { "hours, start far ahead: in an hour", Item(kDay, 900, 1), At(kDay, 9, 30), false, 1,
          At(kDay, 10, 30), true },
        { "days, untimed tomorrow at 20:00: the step halves to 12 hours", Item(kDay + 1, -1, 2),
          At(kDay, 20, 0), false, 1, At(kDay + 1, 8, 0), true },
        { "days, untimed in three days: one day", Item(kDay + 3, -1, 2), At(kDay, 20, 0), false, 1,
          At(kDay + 1, 20, 0), true },
        { "days, the base just passed: one day", Item(kDay, 600, 2), At(kDay, 10, 30), false, 1,
          At(kDay + 1, 10, 30), true },
        { "ALERMUNIT with INTERVAL 3: in 3 hours", Item(kDay, 780, 0), At(kDay, 9, 0), true, 3,
          At(kDay, 12, 0), true },
        { "ALERMUNIT with INTERVAL 3, start at 11:00: 5 minutes before it", Item(kDay, 660, 0),
          At(kDay, 9, 0), true, 3, At(kDay, 10, 55), true },
        { "INTERVAL 0 counts as one hour", Item(kDay, 780, 0), At(kDay, 9, 0), true, 0,
          At(kDay, 10, 0), true },
        { "INTERVAL beyond a week counts as a week", Item(kDay + 30, 780, 0), At(kDay, 9, 0), true,
          5000, At(kDay + 7, 9, 0), true },
    };
    for (const Case& c : cases) {
        Settings s;
        s.p.AlermUnit = c.alermUnit;
        s.p.Interval = c.interval;
        const TReNotify r = ReNotifyMoment(c.item, c.now, s.p);
        EXPECT_EQ(r.At, c.at) << c.what;
        EXPECT_EQ(r.Visible, c.visible) << c.what;
        EXPECT_TRUE(r.Enabled) << c.what;
        EXPECT_FALSE(r.Checked) << c.what;
    }
}

TEST(ReNotify, DaysUnitHalvesInWholeSecondsUntilTheStepEndsBeforeTheBase)
{
    Settings s;
    // The base is 9 seconds ahead: 86400 halves (truncating) to 10, then 5.
    const TEventData item = Item(kDay, 600, 2);
    const days::Moment now = At(kDay, 10, 0) - 9;
    const TReNotify r = ReNotifyMoment(item, now, s.p);
    EXPECT_EQ(r.At, now + 5);
    EXPECT_TRUE(r.Visible);
    // One second ahead: the step ends at the base itself.
    EXPECT_EQ(ReNotifyMoment(item, At(kDay, 10, 0) - 1, s.p).At, At(kDay, 10, 0));
}

TEST(ReNotify, OpenDeadlineComesBackInAnHourAndCannotBeDeclined)
{
    Settings s;
    s.p.RepCheck = false;
    s.p.RepAlerm = false;
    TEventData item = Item(kDay, 543, 0);
    item.Priority = 4;
    TReNotify r = ReNotifyMoment(item, At(kDay, 9, 0), s.p);
    EXPECT_EQ(r.At, At(kDay, 10, 0));
    EXPECT_TRUE(r.Visible);
    EXPECT_FALSE(r.Enabled);
    EXPECT_TRUE(r.Checked);
    EXPECT_TRUE(ReNotifyAfterAutoClose(r, s.p));

    // Long before the deadline the unit rule still applies.
    item.StartTime = 900;
    item.EndTime = 960;
    r = ReNotifyMoment(item, At(kDay, 9, 0), s.p);
    EXPECT_EQ(r.At, At(kDay, 9, 5));
    EXPECT_FALSE(r.Enabled);

    // A done deadline is like any other item.
    item = Item(kDay, 543, 0);
    item.Priority = 4;
    item.Done = true;
    r = ReNotifyMoment(item, At(kDay, 9, 0), s.p);
    EXPECT_EQ(r.At, At(kDay, 8, 58));
    EXPECT_FALSE(r.Visible);
    EXPECT_TRUE(r.Enabled);
    EXPECT_FALSE(ReNotifyAfterAutoClose(r, s.p));
}
