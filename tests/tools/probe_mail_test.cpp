// Runs kalvero-probe's mail and html sub-commands on the sample mails.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Probe(const std::string& args, int* status = nullptr)
{
    const std::string cmd = std::string(KALVERO_BINARY_DIR "/tools/probe/kalvero-probe ") + args;
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = pclose(p);
    if (status)
        *status = rc;
    return out;
}

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/mail/";

} // namespace

TEST(ProbeMail, PrintsTheEnvelopeAndTheText)
{
    const std::string head = "Subject: Fwd: party\nFrom: Tanaka <tanaka@example.jp>\n"
                             "Date-Value: 1764979200\nKey: <fwd-7@example.jp>,69337200\n"
                             "Priority: 0\nKind: 2\nText:\n転送します。\n";
    EXPECT_EQ(Probe("mail " + kData + "forward.eml"), head);
    EXPECT_EQ(Probe("mail --attachments " + kData + "forward.eml"),
              head +
                  "【添付】--------------------------------\n"
                  "【発信】Suzuki Ichiro <suzuki@example.com>\n"
                  "【日付】Fri, 5 Dec 2025 17:45:00 +0900\n【件名】忘年会のご案内\n\n"
                  "忘年会は 12月19日 19:00 から駅前の店で行います。\n");
}

TEST(ProbeMail, HtmlAndErrors)
{
    const std::string html = Probe("html " + kData + "table.html");
    EXPECT_EQ(html, "予定表\n日付,件名,\n12/8,会議 <本社>,\n");
    int status = 0;
    EXPECT_EQ(Probe("mail /nonexistent/file.eml 2>/dev/null", &status), "");
    EXPECT_NE(status, 0);
    EXPECT_EQ(Probe("mail 2>/dev/null", &status), "");
    EXPECT_NE(status, 0);
}
