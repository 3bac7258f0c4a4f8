// The day digest: its exact bytes for the settings that shape it, and how
// "memo.txt" is replaced, prepended to or left alone.

#include "app/daydigest.h"
#include "core/files.h"
#include "core/report.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <sys/stat.h>

namespace {

const days::Day kToday = D(2024, 6, 10);

// Shift_JIS with CR LF from UTF-8 with LF.
std::string S(const std::string& utf8)
{
    return sjis::ToCrLf(sjis::FromUtf8(utf8));
}

const std::string kRule = "--------------------------------\n";

struct DigestStore
{
    days::FixedClock clock { days::MomentOf(kToday, 8 * 60) };
    TSchedList store;
    DigestStore()
    {
        store.SetKindMask(7); // even with secret items shown, they stay out
        Add("定例会議", kToday, 600, 690, "会議室", "資料\r\n持参です", 0);
        Add("昼食", kToday, -1, -1, "", "", 0);
        Add("秘密の用事", kToday, 700, 720, "", "", 1);
        Add("出張", kToday + 2, 540, 1080, "大阪", "", 2);
        Add("締切", kToday + 7, -1, -1, "", "", 0);
    }
    void Add(const char* subject, days::Day day, int start, int end, const char* place,
             const char* memo, int kind)
    {
        TEventData e;
        e.Subject = sjis::FromUtf8(subject);
        e.Date = day;
        e.StartTime = start;
        e.EndTime = end;
        e.HasTime = start >= 0;
        e.Place = sjis::FromUtf8(place);
        e.Memo = sjis::FromUtf8(memo);
        e.KindBits = kind;
        store.AddEvent(e, true);
    }
};

} // namespace

TEST(DayDigest, ExactTextForDayCountEmptyDaysAndMemoLimit)
{
    const std::string today = "【6/10】の予定\n"
                              " 件名:昼食\n 時間:指定無し\n 場所:\n メモ:\n\n";
    const std::string meeting = " 件名:定例会議\n 時間:10:00-11:30\n 場所:会議室\n メモ:";
    const std::string trip = "【6/12】の予定\n"
                             " 件名:出張\n 時間:09:00-18:00\n 場所:大阪\n メモ:\n\n\n" +
        kRule;
    const std::string deadline = "【6/17】の予定\n"
                                 " 件名:締切\n 時間:指定無し\n 場所:\n メモ:\n\n\n" +
        kRule;
    auto none = [](const char* day) {
        return std::string("【") + day + "】の予定\n 予定はありません\n\n" + kRule;
    };
    const struct
    {
        TDigestOptions options;
        std::string expected;
    } cases[] = {
        { { 0, 0, false }, today + meeting + "資料\n持参です\n\n\n" + kRule },
        { { 0, -1, true }, today + meeting + "資料...\n\n\n" + kRule },
        { { 0, 10, true }, today + meeting + "資料\n持参...\n\n\n" + kRule },
        { { 7, -1, true }, today + meeting + "資料...\n\n\n" + kRule + trip + deadline },
        { { 7, -1, false },
          today + meeting + "資料...\n\n\n" + kRule + none("6/11") + trip + none("6/13") +
              none("6/14") + none("6/15") + none("6/16") + deadline },
    };
    DigestStore d;
    d.store.SelectDay(kToday - 1);
    for (const auto& c : cases) {
        EXPECT_EQ(sjis::ToUtf8(DigestText(d.store, kToday, c.options)), sjis::ToUtf8(S(c.expected)))
            << c.options.DayCount << " " << c.options.MemoLimit << " " << c.options.SkipEmptyDays;
    }
    // The days without items write nothing at all when they are left out;
    // the store's day list is as it was.
    EXPECT_EQ(DigestText(d.store, kToday + 3, { 3, 0, true }), "");
    EXPECT_TRUE(d.store.DayList.empty());
}

TEST(DayDigest, MemoFileIsReplacedPrependedOrLeftAlone)
{
    TempDir tmp;
    const std::string path = DigestPath(tmp.path);
    EXPECT_EQ(path, tmp.path + "memo.txt");
    const std::string first = S("【6/10】の予定\n 予定はありません\n");
    const std::string second = S("【6/11】の予定\n 予定はありません\n");

    EXPECT_EQ(WriteDigest(path, "", false), DigestWrite::Nothing);
    EXPECT_FALSE(files::Exists(path));
    EXPECT_EQ(WriteDigest(path, first, false), DigestWrite::Written);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Twice on one day leaves one copy; a changed digest goes on top.
    EXPECT_EQ(WriteDigest(path, first, false), DigestWrite::AlreadyThere);
    EXPECT_EQ(WriteDigest(path, second, false), DigestWrite::Written);
    std::string text;
    ASSERT_TRUE(files::ReadAll(path, text));
    EXPECT_EQ(text, second + first);
    EXPECT_EQ(WriteDigest(path, first, true), DigestWrite::Written);
    ASSERT_TRUE(files::ReadAll(path, text));
    EXPECT_EQ(text, first);
}

TEST(DayDigest, NoMailboxOrAnUnreadableFileIsReportedAndNothingWritten)
{
    TempDir tmp;
    std::vector<std::string> reports;
    report::ScopedSink sink(
        [&](report::Kind, const std::string& text) { reports.push_back(text); });
    EXPECT_EQ(DigestPath(""), "");
    EXPECT_EQ(WriteDigest("", "x", true), DigestWrite::Failed);
    EXPECT_EQ(WriteDigest(tmp.path + "gone/memo.txt", "x", true), DigestWrite::Failed);
    // A memo.txt that cannot be read is never written over.
    const std::string folder = tmp.path + "memo.txt/";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(WriteDigest(tmp.path + "memo.txt", "x", false), DigestWrite::Failed);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0],
              SJ("今日の予定を書き込めません!\r\nメールボックスのフォルダがありません"));
    EXPECT_EQ(reports[1],
              SJ("今日の予定を書き込めません!\r\n") + tmp.path + "gone/memo.txt\r\n" +
                  SJ("メールボックスのフォルダがありません"));
}
