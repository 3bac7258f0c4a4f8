#include "core/schedlist.h"
#include "core/sjis.h"

#include "support/testutil.h"
#include <gtest/gtest.h>

namespace {

using days::Day;

days::Moment At(Day day, int h, int m = 0)
{
    return days::MomentOf(day, h * 60 + m);
}

TEventData Item(const std::string& subject, Day date, int start = -1, int end = -1)
{
    TEventData e;
    e.Subject = subject;
    e.Date = date;
    e.StartTime = start;
    e.EndTime = end;
    e.HasTime = start >= 0 && start < end;
    return e;
}

std::vector<std::string> Subjects(const std::vector<PEventData>& items)
{
    std::vector<std::string> out;
    for (const TEventData* e : items)
        out.push_back(e->Subject);
    return out;
}

} // namespace

TEST(SchedList, CategoryPriorityAndDoneFilters)
{
    TSchedList s;
    const Day day = D(2024, 7, 1);
    const char* names[] = { "personal", "secret", "company", "companySecret", "everyone" };
    for (int k = 0; k <= 4; ++k) {
        TEventData e = Item(names[k], day);
        e.KindBits = k;
        s.AddEvent(e, false);
    }
    s.SetKindMask(2 | 4); // personal and company, no secret
    s.SelectDay(day);
    EXPECT_EQ(Subjects(s.DayList),
              (std::vector<std::string> { "company", "everyone", "personal" }));
    s.SetKindMask(7);
    s.SelectDay(day);
    EXPECT_EQ(s.DayEventCount(), 5);
    s.SetKindMask(0);
    s.SelectDay(day);
    EXPECT_EQ(Subjects(s.DayList), std::vector<std::string> { "everyone" });

    TSchedList p;
    p.SetKindMask(7);
    for (int prio = 0; prio <= 4; ++prio) {
        TEventData e = Item("p" + std::to_string(prio), day);
        e.Priority = prio;
        p.AddEvent(e, false);
    }
    p.PriorityFilter = 2;
    p.SelectDay(day);
    EXPECT_EQ(Subjects(p.DayList), (std::vector<std::string> { "p2", "p3", "p4" }));
    p.PriorityFilter = 0;
    p.SelectDay(day);
    EXPECT_EQ(Subjects(p.DayList), std::vector<std::string> { "p0" });
    p.PriorityFilter = -1;
    p.Items(3)->Done = true; // priority 3
    p.Items(4)->Done = true; // deadline
    p.DoneHide = true;
    p.SelectDay(day);
    EXPECT_EQ(Subjects(p.DayList), (std::vector<std::string> { "p0", "p1", "p2", "p3" }));
    EXPECT_EQ(p.DayEvent(4), nullptr);
    EXPECT_EQ(p.DayEvent(-1), nullptr);
}

TEST(SchedList, DayListOrderAndStoreOrder)
{
    TSchedList s;
    s.SetKindMask(7);
    const Day day = D(2024, 7, 1);
    s.AddEvent(Item("b-late", day, 600, 660), false);
    s.AddEvent(Item("untimed", day), false);
    s.AddEvent(Item("a-late", day, 600, 660), false);
    s.AddEvent(Item("early", day, 540, 600), false);
    s.AddEvent(Item("yesterday", day - 1), false);
    EXPECT_EQ(s.AddEvent(Item("night", day, 1500, 1560), true), 5);
    s.SelectDay(day);
    EXPECT_EQ(Subjects(s.DayList),
              (std::vector<std::string> { "untimed", "early", "a-late", "b-late", "night" }));
    // The store: by day and time, items without time at the end of their day.
    EXPECT_EQ(Subjects(s.All()),
              (std::vector<std::string> { "yesterday", "early", "a-late", "b-late", "untimed",
                                          "night" }));
    s.SelectDay(0);
    EXPECT_EQ(s.DayEventCount(), 0);
}

TEST(SchedList, ChangesNotifyAndItemsKeepTheirIdentity)
{
    TSchedList s;
    int modified = 0, dateChanged = 0;
    s.OnModified = [&](TSchedList* sender) {
        EXPECT_EQ(sender, &s);
        ++modified;
    };
    s.OnDateChange = [&](TSchedList*) { ++dateChanged; };
    days::FixedClock clock(At(D(2024, 7, 1), 10));

    TEventData rec = Item("say \"hi\"", D(2024, 7, 2));
    rec.Memo = "a \"b\" c";
    rec.MailKey = "\"k\"";
    EXPECT_EQ(s.AddEvent(rec, true), 0);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(s.Modified);
    PEventData item = s.Items(0);
    EXPECT_EQ(item->Subject, "say 'hi'");
    EXPECT_EQ(item->Memo, "a 'b' c");
    EXPECT_EQ(item->MailKey, "'k'");
    EXPECT_EQ(item->NextDate, D(2024, 7, 2));
    const std::uint64_t id = item->Id;
    EXPECT_NE(id, 0u);
    EXPECT_EQ(s.FindById(id), item);

    s.AddEvent(Item("second", D(2024, 7, 3)), false);
    EXPECT_NE(s.Items(1)->Id, id);

    // An update copies the record but keeps the item and its identity.
    TEventData copy = *item;
    copy.Subject = "changed \"x\"";
    copy.Id = 999;
    s.UpdateEvent(item, copy);
    EXPECT_EQ(item->Subject, "changed 'x'");
    EXPECT_EQ(item->Id, id);
    EXPECT_EQ(item->UpdateDate, D(2024, 7, 1));
    EXPECT_EQ(modified, 3);

    // Removal: the day list forgets the item; a stale pointer is safe to ask.
    s.SetKindMask(7);
    s.SelectDay(D(2024, 7, 2));
    ASSERT_EQ(s.DayEventCount(), 1);
    s.Modified = false;
    EXPECT_TRUE(s.RemoveEvent(item));
    EXPECT_TRUE(s.Modified);
    EXPECT_EQ(modified, 3); // RemoveEvent raises no event
    EXPECT_EQ(s.DayEventCount(), 0);
    EXPECT_FALSE(s.Contains(item));
    EXPECT_EQ(s.FindById(id), nullptr);
    EXPECT_FALSE(s.RemoveEvent(item));
    EXPECT_FALSE(s.DeleteEvent(item));
    EXPECT_EQ(modified, 3);
    EXPECT_TRUE(s.DeleteEvent(s.Items(0)));
    EXPECT_EQ(modified, 4);
    EXPECT_EQ(s.Count(), 0);

    // Loading suppresses the event; SetModified raises it also for false.
    s.Loading = true;
    s.SetModified(true);
    EXPECT_EQ(modified, 4);
    s.Loading = false;
    s.SetModified(false);
    EXPECT_EQ(modified, 5);

    s.SetDate(D(2024, 7, 5));
    s.SetDate(D(2024, 7, 5));
    EXPECT_EQ(dateChanged, 1);
    EXPECT_EQ(s.CurrentDate, D(2024, 7, 5));
}

TEST(SchedList, MailLinks)
{
    TSchedList s;
    int modified = 0;
    s.OnModified = [&](TSchedList*) { ++modified; };
    days::FixedClock clock(At(D(2024, 7, 1), 10));
    TEventData e = Item("linked", D(2024, 7, 2));
    e.MailID = "ABC123@Example.COM";
    s.AddEvent(e, false);
    s.AddEvent(Item("plain", D(2024, 7, 2)), false);
    modified = 0;
    s.Modified = false;
    EXPECT_EQ(s.FindByMailID("abc123@example.com"), s.Items(0));
    EXPECT_EQ(s.FindByMailID("other"), nullptr);
    EXPECT_EQ(s.FindByMailID(""), nullptr);
    s.SetMailFolder("abc123@EXAMPLE.com", "Inbox\\Done \"x\"");
    EXPECT_EQ(s.Items(0)->MailFolder, "Inbox\\Done 'x'");
    EXPECT_EQ(s.Items(0)->UpdateDate, D(2024, 7, 1));
    EXPECT_TRUE(s.Modified);
    EXPECT_EQ(modified, 0);
    s.SetMailFolder("missing", "x");
    s.MarkModified(true, true, s.Items(1));
    EXPECT_EQ(modified, 1);
}

TEST(SchedList, EarlyAlarmsOfRepeatingItemsRingAtTheirMomentAcrossMidnightAndMonthEnds)
{
    // The alarm check runs every minute as the calendar runs it; the caller
    // marks what rang.
    auto rings = [](TEventData item, days::Moment from, days::Moment to) {
        days::FixedClock clock(from);
        TSchedList s;
        s.SetKindMask(7);
        s.AddEvent(item, false);
        std::vector<days::Moment> rang;
        for (days::Moment now = from; now <= to; now += 60) {
            clock.Set(now);
            s.CheckAlarms();
            for (PEventData due : s.DueList) {
                due->Alarmed = true;
                rang.push_back(now);
            }
        }
        return rang;
    };
    auto repeating = [](std::uint32_t pattern, Day date, int start, int lead, int unit) {
        TEventData e = Item("x", date, start, start + 30);
        e.Repeat = rp::Repeating | pattern;
        e.AlarmBefore = lead;
        e.AlarmUnit = unit;
        return e;
    };
    const std::uint32_t mondays = rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(2);
    struct Case
    {
        const char* what;
        TEventData item;
        days::Moment from, to;
        std::vector<days::Moment> expected;
    };
    const Case cases[] = {
        { "weekly on Monday 10:00, a day before",
          repeating(mondays, D(2024, 7, 1), 600, 1, 2),
          At(D(2024, 7, 1), 12),
          At(D(2024, 7, 8), 12),
          { At(D(2024, 7, 7), 0) } },
        { "daily at 00:30, 60 minutes before",
          repeating(rp::Daily, D(2024, 7, 1), 30, 60, 0),
          At(D(2024, 7, 1), 12),
          At(D(2024, 7, 3), 12),
          { At(D(2024, 7, 1), 23, 30), At(D(2024, 7, 2), 23, 30) } },
        { "monthly on the 1st at 01:00, 2 hours before, after a leap day",
          repeating(rp::Monthly, D(2024, 1, 1), 60, 2, 1),
          At(D(2024, 2, 29), 12),
          At(D(2024, 3, 1), 12),
          { At(D(2024, 2, 29), 23) } },
        { "monthly on the 1st at 09:00, a day before",
          repeating(rp::Monthly, D(2024, 1, 1), 540, 1, 2),
          At(D(2024, 4, 29), 12),
          At(D(2024, 5, 1), 12),
          { At(D(2024, 4, 30), 0) } },
        { "weekly on Monday 00:15, 30 minutes before, over a year end",
          repeating(mondays, D(2024, 12, 2), 15, 30, 0),
          At(D(2024, 12, 30), 12),
          At(D(2025, 1, 6), 12),
          { At(D(2025, 1, 5), 23, 45) } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rings(c.item, c.from, c.to), c.expected) << c.what;
}

TEST(SchedList, AlarmCheckAdvancesOccurrencesAndCollectsDueItems)
{
    const Day day = D(2024, 7, 1);
    days::FixedClock clock(At(day, 10));
    TSchedList s;
    s.SetKindMask(7);
    // A daily item without alarm, last occurrence yesterday.
    TEventData daily = Item("daily", day - 5);
    daily.Repeat = rp::Repeating | rp::Daily;
    s.AddEvent(daily, false);
    // A timed item at 10:20 with a 30-minute alarm: due now.
    TEventData meeting = Item("meeting", day, 620, 680);
    meeting.AlarmBefore = 30;
    s.AddEvent(meeting, false);
    // The same tomorrow: pending.
    TEventData tomorrow = Item("tomorrow", day + 1, 620, 680);
    tomorrow.AlarmBefore = 30;
    s.AddEvent(tomorrow, false);

    PEventData d = s.Items(0);
    EXPECT_EQ(d->NextDate, day);
    EXPECT_FALSE(s.CheckAlarms());
    EXPECT_EQ(Subjects(s.DueList), std::vector<std::string> { "meeting" });
    // The caller marks what it rang.
    for (PEventData e : s.DueList)
        e->Alarmed = true;

    clock.Set(At(day + 1, 0, 1));
    EXPECT_TRUE(s.CheckAlarms());
    EXPECT_EQ(d->NextDate, day + 1);
    EXPECT_TRUE(s.DueList.empty());

    // Hidden items do not ring; shown again, what passed meanwhile stays quiet.
    s.SetKindMask(0);
    clock.Set(At(day + 1, 9, 55));
    EXPECT_FALSE(s.CheckAlarms());
    EXPECT_TRUE(s.DueList.empty());
    clock.Set(At(day + 1, 12, 0));
    s.SetKindMask(7);
    s.CheckAlarms();
    EXPECT_TRUE(s.DueList.empty());
}
