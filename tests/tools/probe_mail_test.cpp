// Runs kalvero-probe's mail and html sub-commands on the sample mails.

#include <gtest/gtest.h>

#include <string>

#include "support/testutil.h"

namespace {

const std::string kData = KALVERO_SOURCE_DIR "/tests/data/mail/";

} // namespace

TEST(ProbeMail, PrintsTheEnvelopeAndTheText)
{
    const std::string head = "Subject: Fwd: party\nFrom: Tanaka <tanaka@example.jp>\n"
                             "Date-Value: 1764979200\nKey: <fwd-7@example.jp>,69337200\n"
                             "Priority: 0\nKind: 2\nText:\n転送します。\n";
    EXPECT_EQ(Probe("mail " + kData + "forward.eml").out, head);
    EXPECT_EQ(Probe("mail --attachments " + kData + "forward.eml").out,
              head +
                  "【添付】--------------------------------\n"
                  "【発信】Suzuki Ichiro <suzuki@example.com>\n"
                  "【日付】Fri, 5 Dec 2025 17:45:00 +0900\n【件名】忘年会のご案内\n\n"
                  "忘年会は 12月19日 19:00 から駅前の店で行います。\n");
}

TEST(ProbeMail, HtmlAndErrors)
{
    const std::string html = Probe("html " + kData + "table.html").out;
    EXPECT_EQ(html, "予定表\n日付,件名,\n12/8,会議 <本社>,\n");
    for (const char* args : { "mail /nonexistent/file.eml 2>/dev/null", "mail 2>/dev/null" }) {
        const ProbeRun run = Probe(args);
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.status, 0) << args;
    }
}
