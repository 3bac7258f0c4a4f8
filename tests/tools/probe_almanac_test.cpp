#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string RunProbe(const std::string& args, int* status)
{
    const std::string cmd =
        std::string(KALVERO_BINARY_DIR) + "/tools/probe/kalvero-probe almanac " + args + " 2>&1";
    std::string out;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    *status = pclose(pipe);
    return out;
}

} // namespace

TEST(ProbeAlmanac, OneLinePerDay)
{
    const std::string hol = std::string(KALVERO_SOURCE_DIR) + "/data/Kalvero.hol";
    const std::string personal = testing::TempDir() + "/probe-almanac.phd";
    FILE* f = std::fopen(personal.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("5,6,0,2000,9999,3,Founding\r\n5,5,0,1949,9999,5,\"Kodomo no hi\"\r\n", f);
    std::fclose(f);
    int status = -1;
    EXPECT_EQ(RunProbe("2020-05-04 2020-05-07 " + hol + " " + personal, &status),
              "2020-05-04 2020 4 12 0 先負 -1 1 みどりの日\n"
              "2020-05-05 2020 4 13 0 仏滅 3 1 Kodomo no hi/こどもの日\n"
              "2020-05-06 2020 4 14 0 大安 -1 1 Founding:20/振替休日\n"
              "2020-05-07 2020 4 15 0 赤口 -1 0 -\n");
    EXPECT_EQ(status, 0);
    // Leap month and the new moon that starts it.
    EXPECT_EQ(RunProbe("2025-07-25 2025-07-25", &status), "2025-07-25 2025 6 1 1 赤口 -1 0 -\n");
    EXPECT_NE(RunProbe("2025-07-25", &status).find("usage"), std::string::npos);
    EXPECT_NE(status, 0);
    EXPECT_NE(RunProbe("2025-02-30 2025-03-01", &status).find("usage"), std::string::npos);
}
