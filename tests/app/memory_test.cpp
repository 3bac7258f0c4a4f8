// Memory on hostile files: a huge line of commas costs a small multiple of
// the file's size in the readers of holiday rules, settings values, excluded
// dates and the phone book, and a settings load cut short by an allocation failure never
// writes over its file.

#include "app/phonebook.h"
#include "app/settings/initparam.h"
#include "core/holidays.h"
#include "core/report.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/heap_probe.h"
#include "support/testutil.h"

namespace {

// Ten million commas: one item each, had every item been kept.
const std::string kCommas(10'000'000, ',');

// The most a reader may hold at once for a file of the given size.
long long Allowed(std::size_t fileSize)
{
    return 6 * static_cast<long long>(fileSize) + (1 << 20);
}

} // namespace

TEST(Memory, HugeCommaLinesCostASmallMultipleOfTheFile)
{
    TempDir dir;
    {
        const std::string text = "1,1,0,1949,9999,0,New\r\n" + kCommas + "\r\n";
        const std::string path = dir.Write("k.hol", text);
        const long long before = heapprobe::ResetPeak();
        THolidayList rules;
        ASSERT_TRUE(rules.LoadFromFile(path));
        EXPECT_EQ(rules.Count(), 1);
        EXPECT_LE(heapprobe::Peak() - before, Allowed(text.size()));
    }
    {
        const std::string text = "MAINVIEW=" + kCommas + "\r\nEVENTFONT=" + kCommas +
            "\r\nUSERLIST=" + kCommas + "\r\nAUTOPICKUP=2\r\n";
        const std::string path = dir.Write("k.ini", text);
        const long long before = heapprobe::ResetPeak();
        TInitParam settings;
        settings.LoadFromFile(path);
        EXPECT_EQ(settings.MainView, (TBounds { 0, 0, 520, 420 }));
        EXPECT_EQ(settings.EventFont, TFontRec {});
        EXPECT_FALSE(settings.IsTrustedSender("a@example.jp"));
        settings.FileName.clear();
        EXPECT_LE(heapprobe::Peak() - before, Allowed(text.size()));
    }
    {
        // Excluded dates of a repeating item.
        const std::string text =
            "*2024/07/01,2024/07/01,-1,-1,-1,$40000000,\"x\",\"\",\"\",\"\",0,0,"
            "0@" +
            sjis::FromUtf8("分前") + ",\"\",\"" + kCommas + "2024/07/02\"\r\n";
        const std::string path = dir.Write("k.sch", text);
        const long long before = heapprobe::ResetPeak();
        TSchedList store;
        ASSERT_TRUE(store.OpenFile(path));
        ASSERT_EQ(store.Count(), 1);
        EXPECT_EQ(store.NextOccurrence(*store.Items(0), D(2024, 7, 2)), D(2024, 7, 3));
        EXPECT_LE(heapprobe::Peak() - before, Allowed(text.size()));
    }
    {
        // The line is no entry: it is kept as it was and written back.
        const std::string text = "\"name\",1\r\n" + kCommas + "\r\n";
        const std::string path = dir.Write("k.tel", text);
        const long long before = heapprobe::ResetPeak();
        std::vector<phonebook::Entry> entries;
        std::vector<std::string> kept;
        bool exists = false;
        ASSERT_TRUE(phonebook::LoadPhoneBook(path, entries, &exists, nullptr, &kept));
        EXPECT_EQ(entries.size(), 1u);
        EXPECT_EQ(kept.size(), 1u);
        ASSERT_TRUE(phonebook::SavePhoneBook(path, entries, nullptr, kept));
        EXPECT_LE(heapprobe::Peak() - before, Allowed(text.size()));
        EXPECT_TRUE(ReadFile(path) == text);
    }
}

TEST(Memory, ASettingsLoadCutShortNeverWritesOverItsFile)
{
    TempDir dir;
    const std::string original = ReadFile(KALVERO_SOURCE_DIR "/tests/data/settings/default.ini") +
        "SECRETKEY=abcdefABCDEFGHIJKL\r\nTYPES=a:FF,b:FF00\r\nFOO=1\r\n";
    const std::string path = dir.Write("Kalvero.ini", original);
    std::vector<std::string> messages;
    report::ScopedSink sink(
        [&](report::Kind, const std::string& text) { messages.push_back(text); });
    // Each allocation of the load fails in turn; the object, saved and then
    // destroyed, leaves the file alone.
    long cut = 0;
    for (long n = 1;; ++n) {
        bool thrown = false;
        bool done = false;
        {
            TInitParam settings;
            heapprobe::FailIn(n);
            try {
                settings.LoadFromFile(path);
            } catch (const std::bad_alloc&) {
                thrown = true;
            }
            done = heapprobe::FailurePending();
            heapprobe::FailIn(0);
            if (done) {
                settings.FileName.clear(); // read whole: a save would be right
            } else if (thrown) {
                EXPECT_FALSE(settings.SaveToFile() && !settings.FileName.empty()) << n;
            }
        }
        ASSERT_EQ(ReadFile(path), original) << "allocation " << n;
        cut += thrown;
        if (done)
            break;
    }
    EXPECT_GT(cut, 50);
    EXPECT_FALSE(messages.empty());
}
