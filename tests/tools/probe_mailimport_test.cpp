// kalvero-probe's mail import and day digest, run as the outside checks run
// them: the files they leave behind, byte for byte.

#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"

namespace {

const char* kMail = "From: Taro <taro@example.jp>\r\n"
                    "Subject: Re: [予定] 会議\r\n"
                    "Content-Type: text/plain; charset=iso-2022-jp\r\n\r\n"
                    "資料持参\r\n\r\n\r\n--Kalvero->>>!\r\n"
                    "2024/06/12,10:00,11:00,\"本社\",\"\",15@分前\r\n!<<<--Kalvero-\r\n";

} // namespace

TEST(ProbeMailImport, AddsOnlyWhatTheSettingsAllowAndSaves)
{
    TempDir dir;
    const std::string mail = dir.Write("mail.eml", sjis::FromUtf8(kMail));
    const std::string sch = dir.path + "s.sch";
    const struct
    {
        std::string options;
        const char* out;
    } cases[] = {
        { "", "not added\n" },
        { "autopickup=2 userlist=jiro@example.jp", "not added\n" },
        { "autopickup=2 userlist=Jiro@example.jp,TARO@example.jp alermreject=1", "added\n" },
    };
    for (const auto& c : cases) {
        const ProbeRun run = Probe("mailimport " + sch + " " + mail + " " + c.options);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, c.out) << c.options;
    }
    std::string saved;
    ASSERT_TRUE(files::ReadAll(sch, saved));
    EXPECT_EQ(saved,
              sjis::FromUtf8(
                  "*1899/12/30,2024/06/12,10:00,11:00,\"会議\",\"本社\",\"\",\"probe/?00000001\","
                  "4,1,0@分前,\"資料持参\"\r\n"));
    EXPECT_EQ(Probe("mailimport " + sch + " " + mail + " force").out, "added\n");
    EXPECT_NE(Probe("mailimport " + sch + " " + mail + " daycount=1 2>/dev/null").status, 0);
}

TEST(ProbeMailImport, DigestWritesMemoTxtOncePerDay)
{
    TempDir dir;
    const std::string sch = dir.Write(
        "s.sch",
        sjis::FromUtf8("*2024/06/01,2024/06/12,10:00,11:00,\"会議\",\"本社\",\"\",\"\",4,0,"
                       "0@分前,\"一行目\r\n二行目\"\r\n"));
    const std::string out = dir.path + "memo.txt";
    const std::string digest =
        sjis::FromUtf8("【6/12】の予定\r\n 件名:会議\r\n 時間:10:00-11:00\r\n"
                       " 場所:本社\r\n メモ:一行目...\r\n\r\n\r\n"
                       "--------------------------------\r\n");
    EXPECT_EQ(Probe("digest " + sch + " 2024-06-10 " + out).out, "nothing to write\n");
    EXPECT_FALSE(files::Exists(out));
    dir.Write("memo.txt", "old\r\n");
    const std::string run = "digest " + sch + " 2024-06-10 " + out + " daycount=2 memolimit=-1";
    EXPECT_EQ(Probe(run).out, "written\n");
    EXPECT_EQ(Probe(run).out, "already there\n");
    std::string text;
    ASSERT_TRUE(files::ReadAll(out, text));
    EXPECT_EQ(text, digest + "old\r\n");
    EXPECT_EQ(Probe("digest " + sch + " 2024-06-12 " + out + " memoclear=1 nomemosched=0").out,
              "written\n");
    ASSERT_TRUE(files::ReadAll(out, text));
    EXPECT_EQ(
        text,
        sjis::FromUtf8("【6/12】の予定\r\n 件名:会議\r\n 時間:10:00-11:00\r\n 場所:本社\r\n"
                       " メモ:一行目\r\n二行目\r\n\r\n\r\n--------------------------------\r\n"));
}

TEST(ProbeMailImport, ALineThatReadsAsARecordStaysInTheMemo)
{
    TempDir dir;
    const std::string sch = dir.path + "s.sch", line = "*2024/05/04,2024/05/14,-1,-1,X,,,,0,0,0,";
    std::string text = sjis::FromUtf8(kMail);
    const std::string mail =
        dir.Write("m.eml", text.insert(text.find("\r\n\r\n\r\n"), "\r\n" + line));
    EXPECT_EQ(Probe("mailimport " + sch + " " + mail + " autopickup=1").out, "added\n");
    EXPECT_EQ(Probe("occurrences " + sch + " 2024-05-01 2024-06-30").out, "2024-06-12\t会議\n");
    EXPECT_NE(ReadFile(sch).find("\r\n" + line + "\"\r\n"), std::string::npos);
}
