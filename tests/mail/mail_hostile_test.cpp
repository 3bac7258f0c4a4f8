// Hostile and malformed mails: each must finish quickly (the sanitizer build
// runs these too) and every text leaving the parser must stay well-formed.

#include "mail/html_parser.h"
#include "mail/mail_envelope.h"

#include "app/settings/consts.h"
#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string Nested(int levels, const char* type)
{
    std::string head, tail;
    for (int k = 0; k < levels; ++k) {
        const std::string b = "b" + std::to_string(k) + "z"; // no boundary is a prefix of another
        head += std::string("Content-Type: multipart/") + type + "; boundary=" + b + "\r\n\r\n--" +
            b + "\r\n";
        tail = "\r\n--" + b + "--\r\n" + tail;
    }
    return head + "Content-Type: text/plain\r\n\r\ndeep" + tail;
}

std::string TextOf(const std::string& source, bool attachments)
{
    TMailEnvelope mail;
    mail.SetSource(source);
    mail.SetIncludeAttachments(attachments);
    return mail.GetText();
}

void ExpectWellFormed(const TMailEnvelope& mail)
{
    for (bool attachments : { false, true }) {
        TMailEnvelope copy = mail;
        copy.SetIncludeAttachments(attachments);
        ASSERT_EQ(copy.GetText().find('\0'), std::string::npos);
    }
    const std::string key = mail.GetMailKey();
    ASSERT_EQ(key.find('"'), std::string::npos);
    ASSERT_EQ(key.find("\\:\\"), std::string::npos);
    for (unsigned char c : key)
        ASSERT_GE(c, 0x20);
    ASSERT_GE(mail.GetPriority(), 0);
    ASSERT_LE(mail.GetPriority(), 3);
    for (int i = 0; i < mail.PartCount(); ++i) {
        const std::string part = mail.GetPart(i);
        ASSERT_EQ(part, sjis::Trim(part));
    }
    ASSERT_EQ(mail.GetDefinedText(strconst::BlockStart(), strconst::BlockEnd()).find('\0'),
              std::string::npos);
}

} // namespace

TEST(HostileMail, DeepNestingIsCutAt32Levels)
{
    EXPECT_EQ(TextOf(Nested(32, "alternative"), false), "deep\r\n");
    EXPECT_EQ(TextOf(Nested(33, "alternative"), false), "");
    EXPECT_EQ(TextOf(Nested(10000, "alternative"), true), "");
    const std::string mixed = TextOf(Nested(10000, "mixed"), true);
    EXPECT_EQ(mixed.find("deep"), std::string::npos);
    EXPECT_EQ(TextOf(Nested(10000, "mixed"), false), "");
    // Half a million empty parts, each one parsed on its own.
    std::string many = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    for (int i = 0; i < 500000; ++i)
        many += "--b\r\n";
    TMailEnvelope mail;
    mail.SetSource(many);
    EXPECT_EQ(mail.PartCount(), 500000);
    EXPECT_EQ(mail.GetText(), "");
}

TEST(HostileMail, HugeHeaderInvalidBase64AndLongNumbers)
{
    // 10 MB of folded lines, every one an encoded word: they join and decode.
    std::string header = "Subject: ";
    const int words = 10 * 1024 * 1024 / 32;
    for (int i = 0; i < words; ++i)
        header += "=?ISO-2022-JP?B?GyRCJCIbKEI=?=\r\n ";
    TMailEnvelope mail;
    mail.SetSource(header + "x\r\nDate: " + std::string(40, '9') + " Dec 2025\r\n\r\nbody");
    EXPECT_EQ(mail.GetHeader("Subject:").size(), 2u * words + 2); // and " x"
    EXPECT_EQ(mail.GetDateValue(), 0);

    std::string junk = "Content-Transfer-Encoding: base64\r\n\r\n";
    for (int i = 0; i < 100000; ++i)
        junk += "!\x80=\xff?TW";
    junk += "Fu";
    mail.SetSource(junk);
    EXPECT_EQ(mail.GetBody().size(), 150001u);
}

TEST(HostileMail, HtmlWithoutCommentEndsAndEndlessReferences)
{
    std::string decls;
    for (int i = 0; i < 2 * 1024 * 1024 / 4; ++i)
        decls += "<!x>";
    THTMLParser parser;
    parser.SetSource(decls + "end");
    EXPECT_EQ(parser.GetText(), "end");

    std::string comments;
    for (int i = 0; i < 300000; ++i)
        comments += "<!--x>";
    parser.SetSource(comments + "end");
    EXPECT_EQ(parser.GetText(), "end");

    std::string refs;
    for (int i = 0; i < 500000; ++i)
        refs += "&#";
    parser.SetSource(refs + ";");
    EXPECT_EQ(parser.GetText().size(), 1000001u);
}

TEST(HostileMail, RandomMutationsOfSampleMails)
{
    std::vector<std::string> samples;
    for (const char* name :
         { "iso2022jp_plain.eml", "alternative.eml", "forward.eml", "eucjp_plain.eml",
           "sjis_qp.eml", "html_only.eml", "utf8_plain.eml" }) {
        std::string data;
        ASSERT_TRUE(
            files::ReadAll(KALVERO_SOURCE_DIR "/tests/data/mail/" + std::string(name), data));
        samples.push_back(data);
    }
    const std::vector<std::string> tokens = { "\r\n\r\n",
                                              "\r\n ",
                                              "\n",
                                              "\r",
                                              "--",
                                              "--==alt_boundary==",
                                              "--mixed-77--",
                                              "=?",
                                              "=?ISO-2022-JP?B?",
                                              "=?EUC-JP?B?GyRC",
                                              "?=",
                                              "\x1b$B",
                                              "\x1b(B",
                                              "=",
                                              "=\r\n",
                                              "<",
                                              "<!--",
                                              "-->",
                                              "&#",
                                              "&#12354;",
                                              "<pre>",
                                              "<td>",
                                              "\"",
                                              "\\:\\",
                                              "\x81",
                                              "\x8e",
                                              "\x00",
                                              "Content-Type: multipart/mixed; boundary=x\r\n",
                                              "Content-Type: message/rfc822\r\n",
                                              "Content-Transfer-Encoding: base64\r\n",
                                              "Date: 99999999999 Foo\r\n" };
    std::mt19937 rng(20251208);
    auto pick = [&](std::size_t n) {
        return n ? std::uniform_int_distribution<std::size_t>(0, n - 1)(rng) : 0;
    };
    for (int round = 0; round < 10000; ++round) {
        std::string mail = samples[pick(samples.size())];
        const int edits = 1 + static_cast<int>(pick(8));
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = pick(mail.size() + 1);
            switch (pick(5)) {
            case 0:
                if (at < mail.size())
                    mail[at] = static_cast<char>(pick(256));
                break;
            case 1: {
                const std::string& t = tokens[pick(tokens.size())];
                mail.insert(at, t.empty() ? std::string(1, '\0') : t);
                break;
            }
            case 2:
                mail.erase(at, pick(64));
                break;
            case 3:
                mail.insert(at, mail.substr(pick(mail.size()), pick(200)));
                break;
            default:
                mail.resize(at);
                break;
            }
        }
        TMailEnvelope envelope;
        envelope.SetSource(mail);
        ExpectWellFormed(envelope);
        THTMLParser parser;
        parser.SetSource(mail);
        ASSERT_EQ(parser.GetText().find('\0'), std::string::npos);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
}
