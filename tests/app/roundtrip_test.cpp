// Whatever way an item comes in (a record line, a CSV row, what a copy or a
// send puts on the clipboard, the entry dialog's values), a save, a load and
// a second save give the same items and bytes, however hostile its texts.

#include "app/definedfield.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <random>

using namespace std::string_view_literals;

TEST(RoundTrip, EveryWayInSavesLoadsAndSavesTheSame)
{
    // Pieces of text between "|": quotes, line ends, control and lone lead
    // bytes, the link separator, a line that reads as a record.
    const std::string_view all = "\"|\r\n|\n|\r|\0\x01\t| ,|\x81|\x82\xa0|x|\\:\\|\r\n"
                                 "*2024/05/04,2024/05/14,-1,-1,X,,,,0,0,0,\r\n"sv;
    std::vector<std::string_view> pieces;
    for (std::size_t at = 0, bar = 0; at <= all.size(); at = bar + 1) {
        bar = std::min(all.find('|', at), all.size());
        pieces.push_back(all.substr(at, bar - at));
    }
    std::mt19937 rng(20240504);
    auto text = [&] {
        std::string s;
        for (int n = rng() % 6; n > 0; --n)
            s += pieces[rng() % pieces.size()];
        return s;
    };
    // The fields a record line does not show; the bytes show the others.
    const auto unwritten = [](const TEventData& e) {
        return std::tie(e.LimitDate, e.HasTime, e.ExceptDates);
    };
    const auto saved = [](const TSchedList& store) {
        std::string s;
        for (const TEventData* item : store.All())
            s += store.EventToLine(*item, 1) + "\r\n";
        return s;
    };
    days::FixedClock clock(days::MomentOf(D(2024, 6, 10), 8 * 60));
    for (int round = 0; round < 500; ++round) {
        TSchedList store;
        for (int n = 1 + rng() % 6; n > 0; --n) {
            TEventData e;
            e.Date = days::kFirstShownDay + static_cast<int>(rng() % days::kLastShownDay);
            e.LimitDate = rng() % 2 ? -1 : e.Date + static_cast<int>(rng() % 900);
            e.Repeat = rng() % 3 ? rp::Repeating | (rng() & 0x81FFFFFFu) : 0; // any kind
            e.StartTime = static_cast<int>(rng() % 1800) - 1;
            e.EndTime = e.StartTime + static_cast<int>(rng() % 120) - 10;
            e.HasTime = rng() % 2;
            for (std::string* s : { &e.Subject, &e.Place, &e.DataType, &e.MailID, &e.MailKey,
                                    &e.MailFolder, &e.Memo, &e.ExceptDates })
                *s = text();
            e.KindBits = static_cast<int>(rng() % 8);
            e.Priority = static_cast<int>(rng() % 5);
            e.Done = e.Cancelled = e.OpenMail = rng() % 2;
            e.AlarmBefore = static_cast<int>(rng() % 100);
            e.AlarmUnit = static_cast<int>(rng() % 3);
            if (rng() % 4 == 0) {
                store.AddFromLine(store.EventToLine(e, 1));
            } else if (rng() % 3 == 0) {
                std::string row;
                for (const std::string& column :
                     { e.Subject, std::string(), std::to_string(e.KindBits), days::Format(e.Date),
                       TimeText(e.StartTime), TimeText(e.EndTime), e.DataType, e.Memo })
                    row += "\"" + sjis::ReplaceAll(column, "\"", "\"\"") + "\",";
                store.ImportCSVText(row);
            } else if (rng() % 2) {
                // What one Kalvero copies or sends, another takes in whole.
                TSchedList from;
                const TEventData& sent = *from.Items(from.AddEvent(e, false));
                const TBlockRecord read = ReadClipboardBlock(
                    rng() % 2 ? CopyText(from, sent) : SendText(from, sent), false);
                ASSERT_TRUE(store.AddFromLine(read.Record)) << int(read.Fault);
                ASSERT_EQ(Block(store.EventToLine(*store.Items(store.Count() - 1), 2)),
                          DefinedFieldBlock(from, sent));
            } else {
                store.AddEvent(e, false);
            }
        }
        store.SortEvents();
        const std::string file = saved(store);
        TSchedList back;
        back.LoadFromText(file, false);
        ASSERT_EQ(back.Count(), store.Count()) << testing::PrintToString(file);
        ASSERT_EQ(saved(back), file);
        for (int i = 0; i < store.Count(); ++i)
            ASSERT_EQ(unwritten(*back.Items(i)), unwritten(*store.Items(i))) << i;
    }
}
