// The texts and rules behind the main window's item commands: the bulk
// delete's classes and kept series, the copied block, the delete question
// and the per-day menu captions.
#include "app/bulkdelete.h"
#include "app/definedfield.h"
#include "app/itemtexts.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using days::Day;

Day D(int y, int m, int d)
{
    return days::Encode(y, m, d);
}

TEventData Item(const char* subject, Day date, std::uint32_t repeat = 0, Day limit = -1)
{
    TEventData e;
    e.Subject = subject;
    e.Date = date;
    e.Repeat = repeat;
    e.LimitDate = limit;
    return e;
}

// Every occurrence of an item from a day on, for two years.
std::vector<Day> Occurrences(const TSchedList& s, const TEventData& e, Day from)
{
    std::vector<Day> out;
    for (Day cursor = from;;) {
        const Day d = s.NextOccurrence(e, cursor);
        if (d < cursor || d >= from + 730)
            return out;
        out.push_back(d);
        cursor = d + 1;
    }
}

struct BulkStore
{
    TSchedList s;
    BulkStore()
    {
        // 2024-07-31 is a day off, so a month-end series shifts to 07-30.
        s.IsHoliday = [](Day d) { return d == D(2024, 7, 31); };
        s.SetKindMask(7);
        s.AddEvent(Item("old", D(2024, 6, 1)), false);
        s.AddEvent(Item("cutoff", D(2024, 6, 10)), false);
        s.AddEvent(Item("future", D(2024, 6, 11)), false);
        s.AddEvent(Item("wednesdays", D(2024, 5, 1),
                        rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(4)),
                   false);
        s.AddEvent(Item("birthday", D(2020, 3, 3), rp::Repeating | rp::Yearly), false);
        s.AddEvent(Item("ended", D(2024, 5, 1), rp::Repeating | rp::Daily, D(2024, 6, 5)), false);
        s.AddEvent(Item("month end", D(2024, 5, 31),
                        rp::Repeating | rp::Monthly | rp::SkipHolidays | rp::ShiftEarlier),
                   false);
        TEventData secret = Item("secret", D(2024, 6, 1));
        secret.KindBits = 1;
        s.AddEvent(secret, false);
        TEventData company = Item("company", D(2024, 6, 2));
        company.KindBits = 2;
        company.Priority = 2;
        s.AddEvent(company, false);
        TEventData mail = Item("mail", D(2024, 6, 3));
        mail.KindBits = 4;
        s.AddEvent(mail, false);
    }
    std::vector<std::string> Subjects() const
    {
        std::vector<std::string> out;
        for (PEventData e : s.All())
            out.push_back(e->Subject);
        std::sort(out.begin(), out.end());
        return out;
    }
};

} // namespace

TEST(BulkDelete, DefaultsRemoveTheOldAndKeepSeriesOnTheirOwnDays)
{
    BulkStore b;
    const Day rm = D(2024, 6, 10);
    std::map<std::string, std::vector<Day>> before;
    for (PEventData e : b.s.All())
        before[e->Subject] = Occurrences(b.s, *e, rm);
    b.s.Modified = false;
    int notices = 0;
    b.s.OnModified = [&](TSchedList*) { ++notices; };

    TRemoveChoice choice;
    choice.RmDate = rm;
    EXPECT_EQ(RemoveSchedules(b.s, choice), 6);
    EXPECT_EQ(b.Subjects(),
              (std::vector<std::string> { "birthday", "future", "month end", "wednesdays" }));
    EXPECT_EQ(notices, 0);
    EXPECT_TRUE(b.s.Modified);
    std::map<std::string, Day> starts;
    for (PEventData e : b.s.All()) {
        starts[e->Subject] = e->Date;
        EXPECT_EQ(Occurrences(b.s, *e, rm), before[e->Subject]) << e->Subject;
    }
    EXPECT_EQ(starts["wednesdays"], D(2024, 6, 12));
    EXPECT_EQ(starts["birthday"], D(2025, 3, 3));
    // The shifted 07-30 cannot start a series of the 31st: it keeps its start.
    EXPECT_EQ(starts["month end"], D(2024, 5, 31));
    EXPECT_EQ(starts["future"], D(2024, 6, 11));

    // Secret items hidden by the filter are kept; shown ones are not.
    BulkStore hidden;
    hidden.s.SetKindMask(6);
    RemoveSchedules(hidden.s, choice);
    EXPECT_EQ(
        hidden.Subjects(),
        (std::vector<std::string> { "birthday", "future", "month end", "secret", "wednesdays" }));
}

TEST(BulkDelete, EachKeepChoiceKeepsItsClass)
{
    struct Case
    {
        TRemoveChoice choice;
        int kindMask;
        std::vector<std::string> left;
    };
    TRemoveChoice all;
    all.AllSched = true;
    auto with = [&](bool TRemoveChoice::*flag) {
        TRemoveChoice c = all;
        c.*flag = true;
        return c;
    };
    const Case cases[] = {
        { all, 7, {} },
        { with(&TRemoveChoice::RepSched), 7, { "birthday", "ended", "month end", "wednesdays" } },
        { with(&TRemoveChoice::PriSched), 7, { "company" } },
        { with(&TRemoveChoice::Secret), 7, { "secret" } },
        { with(&TRemoveChoice::UnKnown), 7, { "mail" } },
        // Company items are filtered out; "mail" (4) shows under every filter.
        { with(&TRemoveChoice::DispOnly), 3, { "company" } },
    };
    for (const Case& c : cases) {
        BulkStore b;
        b.s.SetKindMask(c.kindMask);
        RemoveSchedules(b.s, c.choice);
        EXPECT_EQ(b.Subjects(), c.left) << c.left.size();
    }
    TSchedList empty;
    EXPECT_EQ(RemoveSchedules(empty, all), 0);
}

TEST(ItemTexts, CopiedBlockQuestionsAndMenuCaptions)
{
    TSchedList s;
    TEventData e = Item("", D(2024, 7, 1));
    e.Subject = SJ("定例会議");
    e.Memo = SJ("議題\r\n資料");
    e.HasTime = true;
    e.StartTime = 540;
    e.EndTime = 630;
    e.Place = SJ("本社 3F");
    e.DataType = SJ("仕事:FF0000");
    e.AlarmBefore = 15;
    s.AddEvent(e, false);
    const TEventData& stored = *s.Items(0);
    EXPECT_EQ(CopyText(s, stored),
              SJ("定例会議\r\n議題\r\n資料\r\n\r\n--Kalvero->>>!\r\n"
                 "2024/07/01,09:00,10:30,\"本社 3F\",\"仕事:FF0000\",15@分前\r\n"
                 "!<<<--Kalvero-\r\n"));

    EXPECT_EQ(DeleteQuestion(stored),
              SJ("次の予定を削除します。よろしいですか？\r\n【 2024/07/01 】\r\n"
                 "09:00-10:30 定例会議"));
    TEventData series = Item("x", D(2024, 1, 5), rp::Repeating | rp::Daily);
    EXPECT_EQ(DeleteQuestion(series),
              SJ("次の繰返し予定を削除します。よろしいですか？\r\n【 2024/01/05～ 】\r\n- x"));
    series.LimitDate = D(2024, 3, 31);
    series.HasTime = true;
    series.StartTime = 1500;
    EXPECT_EQ(DeleteQuestion(series),
              SJ("次の繰返し予定を削除します。よろしいですか？\r\n"
                 "【 2024/01/05～2024/03/31 】\r\n25:00- x"));

    // 31 single bytes and a double-byte character: the character does not
    // fit into 32 bytes and is left out whole.
    TEventData long_ = Item("", D(2024, 7, 1));
    long_.Subject = std::string(31, 'a') + SJ("漢字") + "tail";
    EXPECT_EQ(DayMenuCaption(long_, D(2024, 7, 1)), "07/01 " + std::string(31, 'a') + "...");
    long_.Subject = std::string(40, 'b');
    long_.HasTime = true;
    long_.StartTime = 545;
    EXPECT_EQ(DayMenuCaption(long_, D(2024, 7, 1)), "09:05 " + std::string(32, 'b') + "...");
}
