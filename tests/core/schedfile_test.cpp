#include "core/files.h"
#include "core/report.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/testutil.h"
#include <filesystem>
#include <optional>
#include <random>
#include <set>

namespace {

using days::Day;

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

// Records as the writer writes them, in store order for 2024-07-01.
std::vector<std::string> SampleRecords()
{
    return {
        SJ("*2024/06/30,2024/07/01,09:00,10:30,\"会議\",\"本社 3F\",\"仕事:FF0000\","
           "\"<a1@example.jp>\\:\\<a1@example.jp>,66a1b2c3\\:\\受信箱\\済み\",0,1,15@分前,"
           "\"議題:予算\""),
        SJ("*2024/06/30,2024/07/01,-1,-1,\"締切 ソフト表\",\"\",\"\",\"\",651,0,1@日前,"
           "\"一行目\r\n二行目\r\n三行目\""),
        SJ("*1899/12/30,2024/07/01,-1,25:00,26:00,$C00040A0,\"夜勤\",\"\",\"\",\"\",0,0,0@分前,"
           "\"\""),
        SJ("*2024/07/01,2024/07/02,13:00,14:00,\"打合せ\",\"\",\"\",\"id-1\\:\\\\:\\保存\",2,0,"
           "30@分前,\"\""),
        SJ("*2024/07/01,2024/07/31,2025/12/31,-1,-1,$40008000,\"月末処理\",\"\","
           "\"経理:0000FF:C0C0C0\",\"\",131,0,0@分前,\"\",\"2024/08/31,2024/10/31\""),
        SJ("*2024/07/01,2024/08/01,09:00,09:30,\"ﾃｽﾄ表示\",\"\",\"\",\"\",32,0,5@時間前,\"\""),
        SJ("*2024/07/01,2024/02/29,-1,-1,-1,$4000C000,\"閏日\",\"\",\"\",\"\",0,0,0@分前,\"\""),
    };
}

const days::Moment kNow = days::MomentOf(D(2024, 7, 1), 10 * 60);

} // namespace

TEST(ScheduleFile, RecordsReadAndWriteByteForByte)
{
    days::FixedClock clock(kNow);
    TempDir dir;
    const std::string text = Join(SampleRecords());
    const std::string in = dir.Write("in.sch", text);
    TSchedList s;
    ASSERT_TRUE(s.OpenFile(in));
    ASSERT_EQ(s.Count(), 7);
    EXPECT_EQ(s.DroppedRecords(), 0);
    EXPECT_FALSE(s.Modified);
    EXPECT_FALSE(s.Loading);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(s.EventToLine(*s.Items(i), 1), SampleRecords()[static_cast<std::size_t>(i)]);

    const std::string out = dir.path + "out.sch";
    ASSERT_TRUE(s.SaveToFile(out));
    EXPECT_EQ(ReadFile(out), text);
    struct stat st
    {
    };
    ::stat(out.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Fields as read.
    const TEventData& meeting = *s.Items(0);
    EXPECT_EQ(meeting.UpdateDate, D(2024, 6, 30));
    EXPECT_TRUE(meeting.HasTime);
    EXPECT_EQ(meeting.StartTime, 540);
    EXPECT_EQ(meeting.Place, SJ("本社 3F"));
    EXPECT_EQ(meeting.MailID, "<a1@example.jp>");
    EXPECT_EQ(meeting.MailKey, "<a1@example.jp>,66a1b2c3");
    EXPECT_EQ(meeting.MailFolder, SJ("受信箱\\済み"));
    EXPECT_TRUE(meeting.OpenMail);
    EXPECT_EQ(meeting.FontColor, 0xFF0000);
    EXPECT_EQ(meeting.AlarmTime, days::MomentOf(D(2024, 7, 1), 9 * 60 - 15));
    const TEventData& deadline = *s.Items(1);
    EXPECT_EQ(deadline.Memo, SJ("一行目\r\n二行目\r\n三行目"));
    EXPECT_EQ(deadline.Priority, 4);
    EXPECT_TRUE(deadline.Done);
    EXPECT_TRUE(deadline.NoExport);
    EXPECT_EQ(deadline.KindBits, 3);
    EXPECT_FALSE(deadline.HasTime);
    const TEventData& night = *s.Items(2);
    EXPECT_EQ(night.LimitDate, -1);
    EXPECT_EQ(night.StartTime, 1500);
    EXPECT_EQ(night.Repeat, 0xC00040A0u);
    EXPECT_EQ(night.UpdateDate, 0);
    const TEventData& linked = *s.Items(3);
    EXPECT_EQ(linked.MailKey, "");
    EXPECT_EQ(linked.MailFolder, SJ("保存"));
    const TEventData& monthEnd = *s.Items(4);
    EXPECT_EQ(monthEnd.LimitDate, D(2025, 12, 31));
    EXPECT_EQ(monthEnd.NextDate, D(2024, 7, 31));
    EXPECT_EQ(monthEnd.BackColor, 0xC0C0C0);
    EXPECT_EQ(s.NextOccurrence(monthEnd, D(2024, 8, 1)), D(2024, 12, 31));
    EXPECT_EQ(s.Items(5)->Priority, 2);
    EXPECT_EQ(s.Items(5)->AlarmUnit, 1);
    EXPECT_EQ(s.Items(6)->NextDate, D(2028, 2, 29));

    // The exchange line.
    EXPECT_EQ(s.EventToLine(meeting, 2),
              SJ("2024/07/01,09:00,10:30,\"本社 3F\",\"仕事:FF0000\",15@分前"));

    // Files with LF alone read the same.
    std::string lf = text;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;)
        lf.replace(p, 2, "\n");
    TSchedList t;
    t.LoadFromFile(dir.Write("lf.sch", lf), false);
    ASSERT_TRUE(t.SaveToFile(out));
    EXPECT_EQ(ReadFile(out), text);
}

TEST(ScheduleFile, WriterKeepsEveryRecordWhole)
{
    days::FixedClock clock(kNow);
    TSchedList s;
    // A record outside the store may hold quotes: the writer doubles them.
    TEventData raw;
    raw.Date = D(2024, 7, 5);
    raw.Subject = "say \"hi\"";
    raw.Memo = SJ("末尾") + "\x81"; // a lead byte without its trail byte
    raw.KindBits = 1;
    raw.Priority = 4;
    raw.Done = true;
    raw.NoExport = true;
    const std::string line = s.EventToLine(raw, 1);
    EXPECT_EQ(line,
              "*1899/12/30,2024/07/05,-1,-1,\"say \"\"hi\"\"\",\"\",\"\",\"\",649,0,0@" +
                  SJ("分前") + ",\"" + SJ("末尾") + "?\"");
    // Read back: the quote becomes "'", and the next record is intact.
    const std::string next = SampleRecords()[0];
    s.LoadFromText(line + "\r\n" + next + "\r\n", false);
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.DroppedRecords(), 0);
    EXPECT_EQ(s.Items(1)->Subject, "say 'hi'");
    EXPECT_EQ(s.Items(1)->Memo, SJ("末尾") + "?");
    EXPECT_EQ(s.EventToLine(*s.Items(0), 1), next);

    // Items added to the store never hold either.
    raw.Subject = "a\"b" + std::string("\x82");
    s.AddEvent(raw, true);
    EXPECT_EQ(s.FindById(s.All().back()->Id)->Subject.find('"'), std::string::npos);

    // A single item keeps no excluded dates in its record.
    TEventData single;
    single.Date = D(2024, 7, 5);
    single.ExceptDates = "2024/07/06";
    EXPECT_EQ(sjis::ReadCommaText(s.EventToLine(single, 1) + ",").size(), 12u);
}

TEST(ScheduleFile, DamagedRecordsAreDroppedAndTheOriginalKept)
{
    days::FixedClock clock(kNow);
    TempDir dir;
    const std::vector<std::string> good = SampleRecords();
    using schedrecord::Fault;
    // A date that does not read costs only that date (-1); any other field
    // that does not convert costs the record.
    const std::pair<std::string, std::optional<Fault>> damaged[] = {
        { SJ("*2024/06/30,2024/13/01,09:00,10:00,\"a\",\"\",\"\",\"\",0,0,0@分前,\"\""), {} },
        { SJ("*gestern,2024/07/01,09:00,10:00,\"b\",\"\",\"\",\"\",0,0,0@分前,\"\""), {} },
        { SJ("*2024/07/01,2024/07/31,2024/02/30,-1,-1,$40008000,\"c\",\"\",\"\",\"\",0,0,0@分"
             "前,\"\""),
          {} },
        { SJ("*2024/06/30,2024/07/01,09:00,10:00,\"d\",\"\",\"\",\"\",x,0,0@分前,\"\""),
          Fault::Flags },
        { SJ("*2024/06/30,2024/07/01,09:00,10:00,\"e\",\"\",\"\",\"\",0,0,無し,\"\""),
          Fault::Alarm },
        { SJ("*2024/07/01,2024/08/01,09:00,09:30,\"f\",\"\",\"\",\"\",0,0,0@分前,\"\",\"2024/08/"
             "02\""),
          Fault::FieldCount },
        { SJ("*2024/07/01,2024/07/31,-1,-1,-1,$XYZ,\"g\",\"\",\"\",\"\",0,0,0@分前,\"\""),
          Fault::Repeat },
        { "garbage", Fault::FieldCount },
    };
    std::vector<std::string> lines = { good[0] };
    std::vector<DroppedRecord> expected;
    for (const auto& [record, fault] : damaged) {
        lines.push_back(record);
        if (fault)
            expected.push_back({ static_cast<int>(lines.size()), *fault });
    }
    lines.push_back("");
    lines.push_back(good[5]);
    const std::string text = Join(lines);
    const std::string file = dir.Write("k.sch", text);
    TSchedList s;
    ASSERT_TRUE(s.OpenFile(file));
    EXPECT_EQ(s.DroppedRecords(), 5);
    EXPECT_EQ(s.DroppedSamples(), expected);
    EXPECT_FALSE(s.Loading);
    EXPECT_FALSE(s.Modified);
    std::string kept;
    for (const TEventData* e : s.All())
        kept += e->Subject;
    EXPECT_EQ(kept, SJ("ab会議cﾃｽﾄ表示")); // in store order
    auto item = [&](const char* subject) -> const TEventData* {
        for (const TEventData* e : s.All())
            if (e->Subject == subject)
                return e;
        return s.All().front();
    };
    EXPECT_EQ(item("a")->Date, -1);
    EXPECT_EQ(item("b")->UpdateDate, -1);
    EXPECT_EQ(item("b")->Date, D(2024, 7, 1));
    EXPECT_EQ(item("c")->LimitDate, -1);
    EXPECT_EQ(item("c")->NextDate, D(2024, 7, 31));

    const std::string bak = dir.path + "k.bak";
    EXPECT_EQ(TSchedList::BackupName(file), bak);
    EXPECT_FALSE(files::Exists(bak));
    ASSERT_TRUE(s.SaveToFile(file));
    EXPECT_EQ(ReadFile(bak), text);
    // What was kept reads back as it was written.
    TSchedList again;
    ASSERT_TRUE(again.OpenFile(file));
    EXPECT_EQ(again.Count(), 5);
    EXPECT_EQ(again.DroppedRecords(), 0);
    // Only the first rewrite makes the copy.
    files::WriteAtomic(bak, "kept");
    ASSERT_TRUE(s.SaveToFile(file));
    EXPECT_EQ(ReadFile(bak), "kept");

    // A clean file makes none.
    TempDir other;
    const std::string clean = other.Write("c.sch", Join(good));
    TSchedList c;
    c.OpenFile(clean);
    c.SaveToFile(clean);
    EXPECT_FALSE(files::Exists(other.path + "c.bak"));
}

TEST(ScheduleFile, ADamagedRecordCostsOnlyItself)
{
    days::FixedClock clock(kNow);
    // 1,000 records as the writer writes them, every third with a memo of two
    // lines, every fifth repeating.
    TSchedList writer;
    std::vector<std::string> records;
    std::vector<int> firstLine;
    int line = 1;
    for (int i = 0; i < 1000; ++i) {
        TEventData e;
        e.UpdateDate = D(2024, 6, 1);
        e.Date = D(2024, 1, 1) + i % 400;
        if (i % 5 == 0)
            e.Repeat = rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(2);
        e.StartTime = 540 + i % 60;
        e.EndTime = e.StartTime + 30;
        e.HasTime = true;
        e.Subject = SJ("予定") + std::to_string(i);
        e.Memo = i % 3 == 0 ? SJ("一行目\r\n二行目") : "";
        records.push_back(writer.EventToLine(e, 1));
        firstLine.push_back(line);
        line += i % 3 == 0 ? 2 : 1;
    }
    // A quote typed into a subject and one after the end of a memo, random
    // bytes with a quote and a line break among them, a cut-off last line.
    std::vector<std::string> damaged = records;
    damaged[101].insert(damaged[101].find(SJ("予定")) + 4, "\"");
    damaged[300].insert(damaged[300].size() - 1, "\"");
    std::mt19937 rng(20240701);
    std::string bytes;
    for (int i = 0; i < 24; ++i)
        bytes.push_back(static_cast<char>(rng()));
    bytes[5] = '"';
    bytes[11] = '\n';
    damaged[500].insert(rng() % damaged[500].size(), bytes);
    damaged[999].resize(damaged[999].size() / 2);
    std::string text;
    for (const std::string& record : damaged)
        text += record + "\r\n";
    text.resize(text.size() - 2);

    TSchedList s;
    s.LoadFromText(text, false);
    std::multiset<std::string> loaded;
    for (const TEventData* e : s.All())
        loaded.insert(s.EventToLine(*e, 1));
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (damaged[i] == records[i]) {
            EXPECT_EQ(loaded.count(records[i]), 1u) << "record " << i;
        }
    }
    EXPECT_GE(s.Count(), 996);
    ASSERT_GE(s.DroppedRecords(), 2);
    EXPECT_LE(s.DroppedRecords(), 6);
    EXPECT_EQ(s.DroppedSamples().front(),
              (DroppedRecord { firstLine[101], schedrecord::Fault::FieldCount }));
    const auto breaks = std::count(bytes.begin(), bytes.end(), '\n');
    EXPECT_EQ(s.DroppedSamples().back().line, firstLine[999] + breaks);
}

TEST(ScheduleFile, AMemoLineThatLooksLikeARecordKeepsTheMemoWhole)
{
    // Lines of a memo (typed, or taken from a mail) that begin as a record
    // does: in the middle of the memo, as its last line, with a repeating
    // item's excluded dates behind it.
    const std::string memos[] = {
        "notes\r\n*2025/12/01,2025/12/24,10:00,11:00,'f'\r\nmore",
        "notes\r\n*2025/12/01, second round",
        "notes\r\n*2025/12/01,2025/12/08,",
    };
    days::FixedClock clock(kNow);
    const std::string next = SampleRecords()[0];
    for (const std::string& memo : memos) {
        TEventData item;
        item.Date = D(2025, 12, 1);
        item.Subject = "s";
        item.Memo = memo;
        item.Repeat = rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(2);
        item.ExceptDates = "2025/12/09";
        TSchedList s;
        s.LoadFromText(s.EventToLine(item, 1) + "\r\n" + next + "\r\n", false);
        EXPECT_EQ(s.DroppedRecords(), 0) << memo;
        ASSERT_EQ(s.Count(), 2) << memo;
        EXPECT_EQ(s.Items(1)->Memo, memo);
        EXPECT_EQ(s.Items(1)->ExceptDates, item.ExceptDates);
        EXPECT_EQ(s.EventToLine(*s.Items(0), 1), next);
    }
}

TEST(ScheduleFile, FailedSaveReportsAndKeepsModified)
{
    days::FixedClock clock(kNow);
    TempDir dir;
    std::vector<std::string> messages;
    report::ScopedSink sink(
        [&](report::Kind, const std::string& text) { messages.push_back(text); });
    TSchedList s;
    s.LoadFromText(Join(SampleRecords()), false);
    s.SetModified(true);
    // A folder in the file's place, and a missing folder.
    std::filesystem::create_directory(dir.path + "taken.sch");
    EXPECT_FALSE(s.SaveToFile(dir.path + "taken.sch"));
    EXPECT_FALSE(s.SaveToFile(dir.path + "missing/k.sch"));
    EXPECT_TRUE(s.Modified);
    ASSERT_EQ(messages.size(), 2u);
    for (const std::string& m : messages)
        EXPECT_EQ(m.rfind(SJ("スケジュールが書き込めません!") + "\r\n", 0), 0u) << m;
    EXPECT_TRUE(std::filesystem::is_directory(dir.path + "taken.sch"));

    // A file that exists but cannot be read is reported to the caller and is
    // never overwritten without a copy (the copy fails here: nothing written).
    std::string why;
    TSchedList u;
    EXPECT_FALSE(u.OpenFile(dir.path + "taken.sch", &why));
    EXPECT_FALSE(why.empty());
    // A missing file is no error.
    EXPECT_TRUE(u.OpenFile(dir.path + "none.sch"));
    EXPECT_EQ(u.Count(), 0);
}

TEST(ScheduleFile, MergeAndDuplicates)
{
    days::FixedClock clock(kNow);
    TempDir dir;
    const std::string file = dir.Write("m.sch", Join(SampleRecords()));
    TSchedList s;
    s.OpenFile(file);
    ASSERT_TRUE(s.LoadFromFile(file, true));
    EXPECT_EQ(s.Count(), 7);
    EXPECT_TRUE(s.Modified);

    // Duplicates that are not neighbours in the sorted order go too.
    TSchedList d;
    TEventData e;
    e.Date = D(2024, 7, 10);
    e.Subject = "same";
    for (const char* memo : { "1", "2", "1", "3", "2" }) {
        e.Memo = memo;
        d.AddEvent(e, false);
    }
    d.SortEvents();
    d.RemoveDuplicates();
    ASSERT_EQ(d.Count(), 3);
    EXPECT_EQ(d.Items(0)->Memo, "1");
    EXPECT_EQ(d.Items(1)->Memo, "2");
    EXPECT_EQ(d.Items(2)->Memo, "3");
}

TEST(ScheduleFile, ShortRecordsFromTheExchangeBlock)
{
    days::FixedClock clock(kNow);
    TSchedList s;
    EXPECT_TRUE(
        s.AddFromLine(SJ("2024/07/02,09:00,10:00,\"件名\",\"場所\",\"分類\",\"mid-1\",4,1,0,"
                         "\" 本文\r\n\"")));
    ASSERT_EQ(s.Count(), 1);
    const TEventData& e = *s.Items(0);
    EXPECT_EQ(e.KindBits, 4);
    EXPECT_TRUE(e.OpenMail);
    EXPECT_EQ(e.AlarmBefore, 0);
    EXPECT_EQ(e.MailID, "mid-1");
    EXPECT_EQ(e.Memo, SJ("本文"));
    EXPECT_EQ(e.UpdateDate, 0);
    EXPECT_TRUE(s.Modified);
    EXPECT_FALSE(s.AddFromLine("2024/07/02,09:00"));
    EXPECT_FALSE(s.AddFromLine(""));
}

TEST(ScheduleFile, CsvImport)
{
    days::FixedClock clock(kNow);
    TempDir dir;
    const std::string longSubject(100, 'x');
    // A header names the columns; a quote typed into a row costs that row.
    const std::string csv = Join({
        SJ("\"件名\",区分,種類,日付,開始,終了,分類,メモ"),
        SJ("\"会議\",x,0,2024/07/01,9:00,10:00,\"仕事\",\"memo, with comma\""),
        SJ(" 会社 , ,1, 2024/07/02 ,,,分類,\"say \"\"hi\"\"\""),
        SJ("stray,,0,2024/07/06,,,\"cat,memo"),
        SJ("short,only,7,2024/07/03,,,cols"),
        SJ("\"multi\r\nline\",,5,2024/07/04,10:00,11:00,,m,extra1,extra2"),
        SJ("nodate,,0,2024/13/01,,,,m"),
        SJ("\"会議\",x,0,2024/07/01,9:00,10:00,\"仕事\",\"memo, with comma\""),
        longSubject + ",,x,2024/07/05,,,,",
    });
    TSchedList s;
    int modified = 0;
    s.OnModified = [&](TSchedList*) { ++modified; };
    ASSERT_TRUE(s.ImportCSV(dir.Write("in.csv", csv)));
    EXPECT_EQ(modified, 0);
    EXPECT_TRUE(s.Modified);
    EXPECT_FALSE(s.Loading);
    ASSERT_EQ(s.Count(), 4);
    const TEventData& a = *s.Items(0);
    EXPECT_EQ(a.Subject, SJ("会議"));
    EXPECT_EQ(a.Memo, "memo, with comma");
    EXPECT_EQ(a.DataType, SJ("仕事"));
    EXPECT_TRUE(a.HasTime);
    EXPECT_EQ(a.StartTime, 540);
    EXPECT_EQ(a.KindBits, 0);
    EXPECT_EQ(a.AlarmBefore, 0);
    EXPECT_EQ(a.LimitDate, -1);
    const TEventData& b = *s.Items(1);
    EXPECT_EQ(b.Subject, SJ("会社"));
    EXPECT_EQ(b.KindBits, 3);
    EXPECT_FALSE(b.HasTime);
    EXPECT_EQ(b.Memo, "say 'hi'");
    EXPECT_EQ(b.DataType, SJ("分類"));
    const TEventData& c = *s.Items(2);
    EXPECT_EQ(c.Subject, "multi");
    EXPECT_EQ(c.KindBits, 1);
    EXPECT_EQ(c.Memo, "m");
    EXPECT_EQ(s.Items(3)->Subject, std::string(80, 'x'));
    EXPECT_EQ(s.DroppedRecords(), 3);
    // A missing file adds nothing.
    EXPECT_TRUE(s.ImportCSV(dir.path + "none.csv"));
    EXPECT_EQ(s.Count(), 4);
}
