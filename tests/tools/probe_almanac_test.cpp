#include <gtest/gtest.h>

#include <string>

#include "support/testutil.h"

TEST(ProbeAlmanac, OneLinePerDay)
{
    const std::string hol = std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol";
    TempDir dir;
    const std::string personal =
        dir.Write("probe-almanac.phd",
                  "5,6,0,2000,9999,3,Founding\r\n5,5,0,1949,9999,5,\"Kodomo no hi\"\r\n");
    ProbeRun run = Probe("almanac 2020-05-04 2020-05-07 " + hol + " " + personal + " 2>&1");
    EXPECT_EQ(run.out,
              "2020-05-04 2020 4 12 0 先負 -1 1 みどりの日\n"
              "2020-05-05 2020 4 13 0 仏滅 3 1 Kodomo no hi/こどもの日\n"
              "2020-05-06 2020 4 14 0 大安 -1 1 Founding:20/振替休日\n"
              "2020-05-07 2020 4 15 0 赤口 -1 0 -\n");
    EXPECT_EQ(run.status, 0);
    // Leap month and the new moon that starts it.
    EXPECT_EQ(Probe("almanac 2025-07-25 2025-07-25 2>&1").out,
              "2025-07-25 2025 6 1 1 赤口 -1 0 -\n");
    run = Probe("almanac 2025-07-25 2>&1");
    EXPECT_NE(run.out.find("usage"), std::string::npos);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(Probe("almanac 2025-02-30 2025-03-01 2>&1").out.find("usage"), std::string::npos);
}
