// Memory on hostile files: a settings load cut short by an allocation
// failure never writes over its file.

#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/report.h"

#include <gtest/gtest.h>

#include "support/heap_probe.h"
#include "support/testutil.h"

namespace {

std::string Read(const std::string& path)
{
    std::string data;
    files::ReadAll(path, data);
    return data;
}

} // namespace

TEST(Memory, ASettingsLoadCutShortNeverWritesOverItsFile)
{
    TempDir dir;
    const std::string original = Read(KALVERO_SOURCE_DIR "/tests/data/settings/default.ini") +
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
        ASSERT_EQ(Read(path), original) << "allocation " << n;
        cut += thrown;
        if (done)
            break;
    }
    EXPECT_GT(cut, 50);
    EXPECT_FALSE(messages.empty());
}
