// Hostile input: random mutations (fixed seed) of a valid schedule file and
// of CSV rows. Nothing may crash or hang, every record before the first
// damaged byte must load, and whatever loaded must write a file that reads
// back whole.

#include "core/commafields.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <algorithm>
#include <random>
#include <set>

namespace {

using days::Day;

// Valid records of every kind, written by the store itself; their line ends
// at offsets ends[i] (after the CR LF).
struct Corpus
{
    std::string text;
    std::vector<std::string> lines;
    std::vector<std::size_t> ends;

    void Add(const std::string& line)
    {
        lines.push_back(line);
        text += line + "\r\n";
        ends.push_back(text.size());
    }
};

Corpus ScheduleCorpus()
{
    TSchedList s;
    const std::uint32_t repeats[] = {
        0,
        rp::Repeating | rp::Daily | (rp::WeekdayBit(1) << rp::ExcludedShift),
        rp::Repeating | rp::Weekly | rp::UseWeekdays | rp::WeekdayBit(2) | rp::ShiftEarlier |
            rp::SkipHolidays,
        rp::Repeating | rp::Monthly,
        rp::Repeating | rp::Monthly | rp::LastDay,
        rp::Repeating | rp::Monthly | rp::UseWeekdays | rp::WeekdayBit(3) | rp::WeekBit(2),
        rp::Repeating | rp::Yearly,
        rp::Repeating | rp::Yearly | rp::UseWeekdays | rp::WeekdayBit(2) | rp::WeekBit(2),
    };
    Corpus c;
    for (int i = 0; i < 8; ++i) {
        TEventData e;
        e.UpdateDate = D(2024, 6, 1) + i;
        e.Date = D(2024, 1, 1) + i * 17;
        e.Repeat = repeats[i % 8];
        e.LimitDate = i % 5 == 0 ? e.Date + 400 : -1;
        e.StartTime = i % 3 == 0 ? -1 : 480 + i * 10;
        e.EndTime = i % 3 == 0 ? -1 : e.StartTime + 60;
        e.HasTime = e.StartTime >= 0;
        e.Subject = SJ("予定ソ表") + std::to_string(i);
        e.Place = i % 2 ? SJ("会議室 A") : "";
        e.DataType = i % 4 ? SJ("仕事:FF0000:C0C0C0") : "";
        e.MailID = i % 6 == 0 ? "<m" + std::to_string(i) + "@x.jp>" : "";
        e.MailKey = i % 6 == 0 ? "<k>,1a2b" : "";
        e.MailFolder = i % 12 == 0 ? SJ("受信箱") : "";
        e.KindBits = i % 5;
        e.Priority = i % 5;
        e.Done = i % 7 == 0;
        e.AlarmBefore = i % 4;
        e.AlarmUnit = i % 3;
        e.Memo = i % 2 ? SJ("一行目\r\n二行目, \"引用\"") : "";
        e.ExceptDates = e.Repeat && i % 3 == 1 ? days::Format(e.Date + 7) : "";
        TEventData clean = e;
        std::replace(clean.Memo.begin(), clean.Memo.end(), '"', '\'');
        c.Add(s.EventToLine(clean, 1));
    }
    return c;
}

Corpus CsvCorpus()
{
    Corpus c;
    for (int i = 0; i < 6; ++i) {
        std::string row = "\"row" + std::to_string(i) + SJ(" 件名\",x,") + std::to_string(i % 4) +
            "," + days::Format(D(2024, 3, 1) + i) + "," + (i % 2 ? "9:00,10:30" : ",") + "," +
            SJ("分類,\"メモ, 二行\r\n目\"");
        c.Add(row);
    }
    return c;
}

// Applies one to three random changes; returns the lowest offset touched.
std::size_t Mutate(std::string& s, std::mt19937& rng)
{
    static const char specials[] = { '"', ',', '\r', '\n', '\0', '\x81', '\xE0', '*',   '$',
                                     '@', ':', '\\', ' ',  '-',  '9',    '/',    '\xFC' };
    auto pick = [&](std::size_t n) { return n ? static_cast<std::size_t>(rng() % n) : 0; };
    std::size_t lowest = s.size();
    const int changes = 1 + static_cast<int>(pick(3));
    for (int k = 0; k < changes; ++k) {
        const std::size_t p = pick(s.size() + 1);
        switch (pick(6)) {
        case 0:
            if (p < s.size())
                s[p] = static_cast<char>(rng());
            break;
        case 1:
            s.insert(s.begin() + static_cast<std::ptrdiff_t>(p), specials[pick(sizeof specials)]);
            break;
        case 2:
            s.erase(p, 1 + pick(40));
            break;
        case 3: {
            const std::size_t from = pick(s.size());
            const std::string piece = s.substr(from, 1 + pick(200));
            s.insert(p, piece);
            break;
        }
        case 4:
            s.resize(p);
            break;
        default:
            if (p < s.size())
                s[p] = specials[pick(sizeof specials)];
            break;
        }
        lowest = std::min(lowest, p);
    }
    return lowest;
}

std::multiset<std::string> LinesOf(const TSchedList& s)
{
    std::multiset<std::string> out;
    for (const TEventData* e : s.All())
        out.insert(s.EventToLine(*e, 1));
    return out;
}

} // namespace

TEST(HostileInput, MutatedScheduleFiles)
{
    days::FixedClock clock(days::MomentOf(D(2024, 7, 1), 600));
    const Corpus corpus = ScheduleCorpus();
    {
        TSchedList s;
        s.LoadFromText(corpus.text, false);
        ASSERT_EQ(s.Count(), 8);
        ASSERT_EQ(s.DroppedRecords(), 0);
    }
    std::mt19937 rng(1234567);
    auto isHoliday = [](Day d) { return d % 11 == 0; };
    for (int round = 0; round < 20000; ++round) {
        std::string text = corpus.text;
        const std::size_t damage = Mutate(text, rng);
        TSchedList s;
        s.IsHoliday = isHoliday;
        s.LoadFromText(text, false);
        ASSERT_FALSE(s.Loading);
        const std::multiset<std::string> loaded = LinesOf(s);
        for (std::size_t i = 0; i < corpus.lines.size() && corpus.ends[i] <= damage; ++i)
            ASSERT_GE(loaded.count(corpus.lines[i]), 1u) << "round " << round << " record " << i;
        // Every fourth round also asks for a day list and writes the store
        // back: whatever loaded writes a file that reads back whole.
        if (round % 4)
            continue;
        s.SetKindMask(7);
        s.SelectDay(D(2024, 7, 1) + round % 400);
        s.CheckAlarms();
        std::string again;
        for (const TEventData* e : s.All())
            again += s.EventToLine(*e, 1) + "\r\n";
        TSchedList t;
        t.LoadFromText(again, false);
        ASSERT_EQ(t.DroppedRecords(), 0) << "round " << round;
        ASSERT_EQ(LinesOf(t), loaded) << "round " << round;
    }
}

TEST(HostileInput, MutatedCsvRows)
{
    days::FixedClock clock(days::MomentOf(D(2024, 7, 1), 600));
    const Corpus corpus = CsvCorpus();
    {
        TSchedList s;
        s.ImportCSVText(corpus.text);
        ASSERT_EQ(s.Count(), 6);
    }
    std::mt19937 rng(7654321);
    for (int round = 0; round < 20000; ++round) {
        std::string text = corpus.text;
        const std::size_t damage = Mutate(text, rng);
        TSchedList s;
        s.ImportCSVText(text);
        ASSERT_FALSE(s.Loading);
        std::multiset<std::string> subjects;
        for (const TEventData* e : s.All()) {
            subjects.insert(e->Subject);
            ASSERT_EQ(e->Memo.find('"'), std::string::npos);
            ASSERT_LE(e->Subject.size(), 80u);
        }
        for (std::size_t i = 0; i < corpus.lines.size() && corpus.ends[i] <= damage; ++i)
            ASSERT_GE(subjects.count("row" + std::to_string(i) + SJ(" 件名")), 1u)
                << "round " << round << " row " << i;
    }
}

TEST(HostileInput, MutatedExchangeRecords)
{
    // The records the clipboard and mail imports hand to AddFromLine (date,
    // start, end, subject, place, category, mail link, flags, open-mail,
    // alarm, memo), damaged: a record is refused or taken whole, and what is
    // taken is written as a record that reads back as it was.
    days::FixedClock clock(days::MomentOf(D(2024, 7, 1), 600));
    const std::string valid[] = {
        SJ("2024/07/02,09:00,10:00,\"件名\",\"場所\",\"分類:FF0000\",\"<m@x.jp>\",4,1,15@分前,"
           "\"一行目\r\n二行目\""),
        SJ("2024/12/31,-1,-1,\"ソ表\",\"\",\"\",\"\",4,1,2,\"\""),
    };
    for (const std::string& record : valid) {
        TSchedList s;
        ASSERT_TRUE(s.AddFromLine(record)) << record;
    }
    std::mt19937 rng(24680);
    int taken = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string record = valid[round % 2];
        Mutate(record, rng);
        TSchedList s;
        if (!s.AddFromLine(record)) {
            ASSERT_EQ(s.Count(), 0) << record;
            continue;
        }
        ++taken;
        ASSERT_EQ(s.Count(), 1) << record;
        const std::string line = s.EventToLine(*s.Items(0), 1);
        TSchedList back;
        back.LoadFromText(line + "\r\n", false);
        ASSERT_EQ(back.DroppedRecords(), 0) << record;
        ASSERT_EQ(back.Count(), 1) << record;
        ASSERT_EQ(back.EventToLine(*back.Items(0), 1), line) << record;
    }
    EXPECT_GT(taken, 1000);
}

TEST(HostileInput, RecordSplitterAgreesWithTheCommaTextReader)
{
    // The record parser has its own allocation-free splitter: on any bytes it
    // must split exactly as the comma-text reader does.
    std::mt19937 rng(99);
    const char alphabet[] = {
        '"', ',', ' ', '\t', '\r', '\n', '\0', 'a', '1', '\x81', '\x5C', '*'
    };
    commafields::Fields<64> f;
    for (int round = 0; round < 20000; ++round) {
        std::string s;
        const int len = static_cast<int>(rng() % 40);
        for (int i = 0; i < len; ++i)
            s.push_back(alphabet[rng() % sizeof alphabet]);
        const std::vector<std::string> want = sjis::ReadCommaText(s);
        f.Split(s);
        ASSERT_EQ(f.count, want.size()) << round;
        for (std::size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(f.field[i], want[i]) << round;
    }
}
