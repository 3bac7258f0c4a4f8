// The defined-field block: its bytes as copy writes them, the one reader
// that mails and the clipboard share, and the subject cleaning.

#include "app/definedfield.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <random>

namespace {

const days::Day kToday = D(2024, 6, 10);

TEventData Meeting()
{
    TEventData e;
    e.Subject = SJ("定例会議");
    e.Date = kToday;
    e.StartTime = 600;
    e.EndTime = 690;
    e.HasTime = true;
    e.Place = SJ("会議室");
    e.DataType = SJ("仕事:FF");
    e.AlarmBefore = 15;
    e.Memo = SJ("資料\r\n持参");
    return e;
}

} // namespace

TEST(DefinedFieldBlock, CopyWritesSubjectMemoAndTheExchangeLineOfTheCurrentDay)
{
    days::FixedClock clock(days::MomentOf(kToday, 8 * 60));
    TSchedList store;
    PEventData item = store.Items(store.AddEvent(Meeting(), false));
    EXPECT_EQ(CopyText(store, *item),
              SJ("定例会議\r\n資料\r\n持参\r\n") +
                  Block(SJ("2024/06/10,10:00,11:30,\"会議室\",\"仕事:FF\",15@分前")));

    // A series travels as its current occurrence; one that has ended as its
    // last one (Mondays up to a Wednesday limit), never as day -1.
    TEventData series;
    series.Date = D(2024, 5, 6);
    series.Repeat = rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(2);
    series.AlarmUnit = 1;
    PEventData weekly = store.Items(store.AddEvent(series, false));
    EXPECT_EQ(DefinedFieldBlock(store, *weekly), Block(SJ("2024/06/10,-1,-1,\"\",\"\",0@時間前")));
    series.LimitDate = D(2024, 5, 22);
    PEventData ended = store.Items(store.AddEvent(series, false));
    ASSERT_EQ(ended->NextDate, -1);
    EXPECT_EQ(DefinedFieldBlock(store, *ended), Block(SJ("2024/05/20,-1,-1,\"\",\"\",0@時間前")));
}

TEST(DefinedFieldBlock, ReaderBuildsTheElevenFieldRecord)
{
    // Quotes anywhere (subject, place, category, mail ID, memo) become "'";
    // bare LF and bare CR count as CR LF, also inside the markers.
    const std::string text = SJ("メモ \"一\"\n二\r三") + "\n--Kalvero->>>!\r" +
        SJ("2024/6/1,9:5,-1,\"本\"\"社\",\"会,議:FF\",1\n!<<<--Kalvero-\n");
    const TBlockRecord read = ReadDefinedBlock(text, { SJ("会議 \"A\""), "in\"box?0001", false });
    ASSERT_EQ(read.Fault, BlockFault::None);
    EXPECT_EQ(
        read.Record,
        SJ("\"2024/06/01\",\"09:05\",\"-1\",\"会議 'A'\",\"本'社\",\"会,議:FF\",\"in'box?0001\","
           "4,1,\"5@分前\",\"メモ '一'\r\n二\r\n三\""));
    TSchedList store;
    ASSERT_TRUE(store.AddFromLine(read.Record));
    const TEventData& e = *store.Items(0);
    EXPECT_EQ(std::tie(e.Date, e.StartTime, e.EndTime, e.HasTime, e.KindBits, e.Priority,
                       e.OpenMail, e.AlarmBefore, e.AlarmUnit, e.Repeat),
              std::make_tuple(D(2024, 6, 1), 545, -1, false, 4, 0, true, 5, 0, 0u));
    EXPECT_EQ(std::tie(e.Subject, e.Place, e.DataType, e.MailID, e.Memo),
              std::make_tuple(SJ("会議 'A'"), SJ("本'社"), SJ("会,議:FF"),
                              std::string("in'box?0001"), SJ("メモ '一'\r\n二\r\n三")));

    // Dropping the alarm does not read the alarm field at all.
    const TBlockRecord dropped =
        ReadDefinedBlock("x" + Block("2024/06/01,-1,-1,\"\",\"\","), { "s", "", true });
    EXPECT_EQ(dropped.Record, "\"2024/06/01\",\"-1\",\"-1\",\"s\",\"\",\"\",\"\",4,1,\"0\",\"x\"");
}

TEST(DefinedFieldBlock, AFieldThatDoesNotConvertRejectsTheRecord)
{
    const struct
    {
        std::string text;
        BlockFault fault;
    } cases[] = {
        { "no block here", BlockFault::NoBlock },
        // The start marker begins with a line break: a block at the very
        // start of the text is not one.
        { Block("2024/06/01,-1,-1,,,0").substr(2), BlockFault::NoBlock },
        { "x\r\n--Kalvero->>>!\r\n2024/06/01,-1,-1,,,0\r\n", BlockFault::NoBlock },
        { "x" + Block(""), BlockFault::NoBlock },
        { "x" + Block("2024/06/01,-1,-1,,"), BlockFault::FieldCount },
        { "x" + Block("2024/06/01,-1,-1,,,0,"), BlockFault::FieldCount },
        { "x" + Block("2024/06/01,-1,-1,a b,,0"), BlockFault::FieldCount },
        { "x" + Block("2024/13/01,-1,-1,,,0"), BlockFault::Date },
        { "x" + Block("-1,-1,-1,,,0"), BlockFault::Date },
        { "x" + Block("2024/02/30,-1,-1,,,0"), BlockFault::Date },
        { "x" + Block("1899/12/29,-1,-1,,,0"), BlockFault::NotShown },
        { "x" + Block("2024/06/01,ten,-1,,,0"), BlockFault::StartTime },
        { "x" + Block("2024/06/01,\"\",-1,,,0"), BlockFault::StartTime },
        { "x" + Block("2024/06/01,10:00,10-30,,,0"), BlockFault::EndTime },
        { "x" + Block("2024/06/01,-1,-1,,,"), BlockFault::Alarm },
        { "x" + Block("2024/06/01,-1,-1,,,9"), BlockFault::Alarm },
    };
    for (const auto& c : cases) {
        const TBlockRecord read = ReadDefinedBlock(c.text, { "s", "id", false });
        EXPECT_EQ(read.Fault, c.fault) << c.text;
        EXPECT_EQ(read.Record, "") << c.text;
    }
}

TEST(DefinedFieldBlock, CopiedItemReadsBackWithItsFields)
{
    days::FixedClock clock(days::MomentOf(kToday, 8 * 60));
    TSchedList from;
    TEventData meeting = Meeting();
    meeting.Place = SJ("本社 3F"); // a blank needs the quotes
    PEventData item = from.Items(from.AddEvent(meeting, false));
    const TBlockRecord read = ReadDefinedBlock(CopyText(from, *item), { item->Subject, "", false });
    TSchedList to;
    ASSERT_TRUE(to.AddFromLine(read.Record));
    const TEventData& e = *to.Items(0);
    EXPECT_EQ(std::tie(e.Subject, e.Date, e.StartTime, e.EndTime, e.Place, e.DataType,
                       e.AlarmBefore, e.AlarmUnit),
              std::tie(item->Subject, item->Date, item->StartTime, item->EndTime, item->Place,
                       item->DataType, item->AlarmBefore, item->AlarmUnit));
}

TEST(DefinedFieldBlock, MutatedBlocksNeverBreakTheRecord)
{
    // Whatever a damaged block holds, the readers either refuse it or give a
    // record of exactly eleven fields that the store takes, writes and reads
    // back as it was.
    const std::string valid =
        SJ("件名\r\nメモ") + Block(SJ("2024/06/10,10:00,11:30,\"会議室\",\"仕事:FF\",15@分前"));
    const char bytes[] = { '"', ',', '\r', '\n', ' ', '\x82', '\x81', '@', ':', '-', '0', '!' };
    std::mt19937 random(20240610);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        for (int n = 1 + random() % 4; n > 0; --n) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text[at] = bytes[random() % sizeof bytes];
                break;
            case 1:
                text.insert(at, 1, bytes[random() % sizeof bytes]);
                break;
            default:
                text.erase(at, 1);
            }
        }
        // Every other text is read as copied text, whose subject is its own
        // damaged first line.
        const bool dropAlarm = random() % 2 == 0;
        const TBlockRecord read = round % 2
            ? ReadClipboardBlock(text, dropAlarm)
            : ReadDefinedBlock(text, { SJ("件\"名") + "\x82", "id\"\x81", dropAlarm });
        if (read.Fault != BlockFault::None)
            continue;
        ++accepted;
        ASSERT_EQ(sjis::ReadCommaText(read.Record + ",").size(), 11u) << read.Record;
        TSchedList store;
        ASSERT_TRUE(store.AddFromLine(read.Record)) << read.Record;
        const std::string line = store.EventToLine(*store.Items(0), 1);
        TSchedList again;
        again.LoadFromText(line + "\r\n", false);
        ASSERT_EQ(again.Count(), 1) << line;
        ASSERT_EQ(again.EventToLine(*again.Items(0), 1), line);
    }
    EXPECT_GT(accepted, 300);
}

TEST(DefinedFieldBlock, CopiedTextGivesItsFirstLineAsTheSubject)
{
    const std::string line = SJ("2024/06/01,-1,-1,\"\",\"\",0@分前");
    const struct
    {
        std::string text;
        std::string subject, memo;
    } cases[] = {
        { SJ("Re: 会議\r\n資料") + Block(line), SJ("Re: 会議"), SJ("Re: 会議\r\n資料") },
        // Blanks and line ends in front are left out; LF alone is a line end.
        { SJ(" \t\n\"件\"名\nメモ\n--Kalvero->>>!\n") + line + "\n!<<<--Kalvero-\n", SJ("'件'名"),
          SJ("'件'名\r\nメモ") },
        // Nothing but line ends before the marker, as sent without a memo:
        // no subject.
        { "\r\n\n" + Block(line), "", "" },
    };
    for (const auto& c : cases) {
        const TBlockRecord read = ReadClipboardBlock(c.text, false);
        TSchedList store;
        ASSERT_TRUE(store.AddFromLine(read.Record)) << c.text;
        const TEventData& e = *store.Items(0);
        EXPECT_EQ(e.Subject, c.subject);
        EXPECT_EQ(e.Memo, c.memo);
        EXPECT_EQ(e.MailID, "");
    }
}

TEST(CleanSubject, TakesMarksFromTheStartOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Re: Fwd: [予定] 会議", "会議" },
        { "  RE:re:FW: fwd:会議 ", "会議" },
        { "[予定]Re: 会議 Re: 続き", "会議 Re: 続き" },
        { "Score: 5", "Score: 5" },
        { "Reply: later", "Reply: later" },
        { "予定 Re:", "予定 Re:" },
        { "Re:", "" },
    };
    for (const auto& [subject, clean] : cases)
        EXPECT_EQ(sjis::ToUtf8(CleanSubject(sjis::FromUtf8(subject))), clean) << subject;
}
