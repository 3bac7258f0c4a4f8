// kalvero-probe's settings round trip, run as the outside checks run it.

#include <gtest/gtest.h>

#include "support/testutil.h"

TEST(ProbeSettings, InIsNeverWrittenWhenOutCannotBe)
{
    TempDir dir;
    const std::string original = "TITLE=Work\r\nFOO=1\r\n";
    const std::string in = dir.Write("in.ini", original);
    EXPECT_NE(Probe("settings " + in + " " + dir.path + "missing/out.ini 2>/dev/null").status, 0);
    EXPECT_EQ(ReadFile(in), original);

    // OUT gets IN's lines and every key; IN stays as it was.
    const std::string out = dir.path + "out.ini";
    EXPECT_EQ(Probe("settings " + in + " " + out).status, 0);
    EXPECT_EQ(ReadFile(in), original);
    EXPECT_EQ(ReadFile(out).rfind("TITLE=Work\r\nFOO=1\r\nMAINVIEW=0,0,520,420\r\n", 0), 0u);
}
