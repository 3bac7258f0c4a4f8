// kalvero-probe's export: the days of a week give the golden files, and an
// output name without a known extension is refused.

#include "core/files.h"

#include "support/testutil.h"

#include <gtest/gtest.h>

namespace {

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/export/";

TEST(ProbeExport, WeekOfTheEdgeCasesGivesTheGoldenFiles)
{
    TempDir dir;
    for (const char* name : { "edge-cases-week.vcs", "edge-cases-week.csv" }) {
        SCOPED_TRACE(name);
        const std::string out = dir.path + name;
        const ProbeRun run =
            Probe("export " + kData + "edge-cases.sch " + out + " 0 2024/05/08 2024/05/14");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "15\n");
        std::string actual, expected;
        ASSERT_TRUE(files::ReadAll(out, actual));
        ASSERT_TRUE(files::ReadAll(kData + name, expected));
        EXPECT_TRUE(actual == expected);
    }
    EXPECT_NE(Probe("export " + kData + "edge-cases.sch " + dir.path +
                    "out.txt 0 2024/05/08 2024/05/14 2>/dev/null")
                  .status,
              0);
}

} // namespace
