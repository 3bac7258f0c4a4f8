// kalvero-probe's schedule sub-commands, run as the outside checks run them.

#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"

namespace {

// A weekly Monday item on holidays too, the 31st of each month, and a single
// item; dates 2024.
const char* kFile =
    "*2024/01/01,2024/01/01,-1,10:00,11:00,$400040A0,\"週例\",\"\",\"\",\"\",0,0,0@分前,\"\"\r\n"
    "*2024/01/01,2024/01/31,-1,-1,-1,$40008000,\"月末\",\"\",\"\",\"\",0,0,0@分前,\"\"\r\n"
    "*2024/01/01,2024/02/01,09:00,09:30,\"単発\",\"\",\"\",\"\",3,0,0@分前,\"\"\r\n";

} // namespace

TEST(ProbeSchedule, OccurrencesNextAndResave)
{
    TempDir dir;
    const std::string in = dir.path + "in.sch";
    ASSERT_TRUE(files::WriteAtomic(in, sjis::FromUtf8(kFile)));

    ProbeRun occ = Probe("occurrences " + in + " 2024-01-29 2024-02-05");
    EXPECT_EQ(occ.status, 0);
    EXPECT_EQ(occ.out,
              "2024-01-29\t週例\n"
              "2024-01-31\t月末\n"
              "2024-02-01\t単発\n"
              "2024-02-05\t週例\n");

    // With today fixed the store's order is known: by next occurrence.
    const std::string today = "--today 2024-01-01 ";
    ProbeRun next = Probe(today + "next " + in + " 2024-02-02");
    EXPECT_EQ(next.status, 0);
    EXPECT_EQ(next.out,
              "週例\t2024-02-05\n"
              "月末\t2024-03-31\n"
              "単発\t2024-02-01\n");

    // The file was written in that order: it comes back byte for byte.
    const std::string out = dir.path + "out.sch";
    EXPECT_EQ(Probe(today + "resave " + in + " " + out).status, 0);
    std::string a, b;
    files::ReadAll(in, a);
    files::ReadAll(out, b);
    EXPECT_EQ(b, a);

    EXPECT_NE(Probe("next " + in + " notadate 2>/dev/null").status, 0);
    EXPECT_NE(Probe("occurrences " + in + " 2>/dev/null").status, 0);
    EXPECT_NE(Probe("--today 2024-13-01 next " + in + " 2024-02-02 2>/dev/null").status, 0);
}

TEST(ProbeSchedule, ASavedFileResavesToTheSameBytes)
{
    // What a field cannot hold goes at the first reading; a record before
    // 1900 stays as it is.
    TempDir dir;
    const std::string once = dir.path + "once.sch", twice = dir.path + "twice.sch";
    const std::string in = KALVERO_SOURCE_DIR "/tests/data/schedule/subject-line-break.sch";
    EXPECT_EQ(Probe("resave " + in + " " + once + " 2>&1").out, "");
    EXPECT_EQ(ReadFile(once), TestData("schedule/subject-line-break.resaved.sch"));
    EXPECT_EQ(Probe("resave " + once + " " + twice).status, 0);
    EXPECT_EQ(ReadFile(twice), ReadFile(once));
}

TEST(ProbeSchedule, DueListsTheItemsWhoseAlarmHasCome)
{
    // Weekly on Monday 10:00 a day before; daily at 00:30 an hour before.
    TempDir dir;
    const std::string in =
        dir.Write("alarms.sch",
                  sjis::FromUtf8(
                      "*2024/01/01,2024/01/01,-1,10:00,11:00,$400040A0,\"週例\",\"\",\"\",\"\",0,"
                      "0,1@日前,\"\"\r\n"
                      "*2024/01/01,2024/01/01,-1,00:30,01:00,$40000000,\"夜勤\",\"\",\"\",\"\",0,0,"
                      "60@分前,\"\"\r\n"));
    const std::pair<const char*, const char*> cases[] = {
        { "2024-01-06T23:29", "" },
        { "2024-01-06T23:30", "夜勤\n" },
        { "2024-01-07T00:00", "夜勤\n週例\n" },
        { "2024-01-31T23:29", "" },
        { "2024-01-31T23:30", "夜勤\n" },
    };
    for (const auto& [when, due] : cases) {
        const ProbeRun run = Probe("due " + in + " " + when);
        EXPECT_EQ(run.status, 0) << when;
        EXPECT_EQ(run.out, due) << when;
    }
    EXPECT_NE(Probe("due " + in + " 2024-01-07 2>/dev/null").status, 0);
    EXPECT_NE(Probe("due " + in + " 2024-01-07T24:00 2>/dev/null").status, 0);
}
