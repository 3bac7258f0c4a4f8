#include "mail/mail_envelope.h"

#include "app/settings/consts.h"
#include "core/days.h"
#include "core/files.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

using namespace std::literals;

namespace {

std::string Sample(const std::string& name)
{
    std::string data;
    EXPECT_TRUE(files::ReadAll(KALVERO_SOURCE_DIR "/tests/data/mail/" + name, data)) << name;
    return data;
}

TMailEnvelope Parse(std::string_view text, bool attachments = false)
{
    TMailEnvelope mail;
    mail.SetSource(text);
    mail.SetIncludeAttachments(attachments);
    return mail;
}

std::int64_t Unix(int y, int m, int d, std::int64_t seconds)
{
    return (static_cast<std::int64_t>(days::Encode(y, m, d)) - 25569) * 86400 + seconds;
}

} // namespace

TEST(MailEnvelope, FoldedIso2022JpSubjectPriorityKeyAndPlainText)
{
    const TMailEnvelope mail = Parse(Sample("iso2022jp_plain.eml"));
    EXPECT_EQ(mail.GetHeader("subject:"), SJ("来週の打ち合わせについて"));
    EXPECT_EQ(mail.ContentKind(), TMailEnvelope::ckPlain);
    EXPECT_EQ(mail.GetPriority(), 3);
    EXPECT_EQ(mail.GetDateValue(), Unix(2025, 12, 8, 37230 - 32400));
    EXPECT_EQ(mail.GetMailKey(), "<20251208102030.ABCD@mail.example.jp>,693627de");
    // "#" at a line start is escaped, blank line runs shrink to one.
    EXPECT_EQ(mail.GetText(),
              SJ("山田さん\r\n\r\n来週の打ち合わせは 12月8日 10:00 から第2会議室です。"
                 "\r\n # 資料を持参してください\r\n\r\n佐藤\r\n"));
}

TEST(MailEnvelope, HeaderBlockUnfoldingAndLookup)
{
    const TMailEnvelope mail =
        Parse("Subject: Project meeting on\r\n\tFriday\r\n  at ten\r\nsubject: second\r\n"
              "X-A:   spaced   \r\nContent-Transfer-Encoding: BASE64\r\n\r\nQm9keQ==");
    EXPECT_EQ(mail.GetHeader("Subject:"), "Project meeting on Friday at ten");
    EXPECT_EQ(mail.GetHeader("X-A:"), "spaced");
    EXPECT_EQ(mail.GetHeader("X-B:"), "");
    EXPECT_TRUE(mail.HeaderIs("Content-Transfer-Encoding:", "base64"));
    EXPECT_EQ(mail.ContentKind(), TMailEnvelope::ckNone);
    EXPECT_EQ(mail.GetBody(), "Body");
    EXPECT_EQ(mail.GetPriority(), 0);
    EXPECT_EQ(mail.GetMailKey(), "");

    // No blank line: no header, the whole text is the body.
    const TMailEnvelope bare = Parse("Subject: x\nline two\n");
    EXPECT_EQ(bare.Header(), "");
    EXPECT_EQ(bare.ContentKind(), TMailEnvelope::ckNone);
    EXPECT_EQ(bare.GetPlainText(), "Subject: x\r\nline two\r\n");
    // Bare LF line ends and NUL bytes are dealt with on the way in.
    const TMailEnvelope lf = Parse("Subject: a\0b\nX-Priority: 2\n\nbody\n"sv);
    EXPECT_EQ(lf.GetHeader("Subject:"), "ab");
    EXPECT_EQ(lf.GetPriority(), 2);
    EXPECT_EQ(lf.GetPlainText(), "body\r\n");
}

TEST(MailEnvelope, ContentKindsCharsetsAndTransferEncodings)
{
    const TMailEnvelope euc = Parse(Sample("eucjp_plain.eml"));
    EXPECT_EQ(euc.ContentKind(), TMailEnvelope::ckPlain);
    EXPECT_EQ(euc.GetHeader("Subject:"), SJ("定例会"));
    EXPECT_EQ(euc.GetText(), SJ("定例会は毎週月曜日です。ｶﾀｶﾅも読めます。\r\n"));
    EXPECT_EQ(euc.GetMailKey(), "<euc@example.net>,6955b900");

    // Charset names in any case; UTF-8 bodies, where what Shift_JIS lacks is
    // "?" and a broken sequence costs only itself.
    for (const auto& [body, text] : { std::pair { "charset=\"Utf-8\"\r\nContent-Transfer-Encoding: "
                                                  "BASE64\r\n\r\n5Lya6K2w",
                                                  "会議" },
                                      { "charset=ISO-2022-jp\r\n\r\n\x1b$B2q5D\x1b(B", "会議" },
                                      { "charset=Euc-JP\r\n\r\n\xb2\xf1\xb5\xc4", "会議" },
                                      { "charset=utf-8\r\n\r\n\xE4\xBC,\xF0\x9F\x98\x80", "?,?" } })
        EXPECT_EQ(Parse("Content-Type: text/plain; "s + body).GetPlainText(),
                  sjis::FromUtf8(text) + "\r\n");

    const TMailEnvelope qp = Parse(Sample("sjis_qp.eml"));
    const std::string line =
        SJ("明日の予定: 14:00-15:00 打ち合わせ (場所: 本社 3F)。よろしくお願いします。");
    EXPECT_EQ(qp.GetText(), line + line + "\r\n");
    EXPECT_EQ(qp.GetHeader("From:"), SJ("高橋 <takahashi@example.org>"));
    EXPECT_EQ(qp.GetPriority(), 0);
    EXPECT_EQ(qp.GetDateValue(), Unix(2025, 12, 31, 86399 + 5 * 3600));

    const TMailEnvelope html = Parse(Sample("html_only.eml"));
    EXPECT_EQ(html.ContentKind(), TMailEnvelope::ckHtml);
    EXPECT_EQ(html.GetText(),
              SJ("今週の予定\r\n月,会議,\r\n水,出張 & 報告,\r\n資料作成\r\n"
                 "予算&#x8a08;計\r\n  10:00  朝会\r\n  15:00  定例\r\n以上。"));

    const std::pair<const char*, unsigned char> kinds[] = {
        { "Multipart/Mixed; boundary=x", TMailEnvelope::ckMultipart },
        { "multipart/related; boundary=alternative-1", TMailEnvelope::ckMultipart },
        { "multipart/alternative", TMailEnvelope::ckAlternative },
        { "text/html; name=text/plain", TMailEnvelope::ckHtml },
        { "message/rfc822", TMailEnvelope::ckMessage },
        { "application/pdf; name=\"text/plain.pdf\"", TMailEnvelope::ckOther },
    };
    for (const auto& [type, kind] : kinds)
        EXPECT_EQ(Parse(std::string("Content-Type: ") + type + "\r\n\r\n").ContentKind(), kind);

    // A quoted-printable HTML body is decoded once: "=3D41" is the text "=41".
    EXPECT_EQ(Parse("Content-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                    "<p>x=3D41 y</p>=\r\n")
                  .GetText(),
              "x=41 y");
}

TEST(MailEnvelope, MultipartSplittingAndMailText)
{
    const TMailEnvelope alt = Parse(Sample("alternative.eml"));
    EXPECT_EQ(alt.ContentKind(), TMailEnvelope::ckAlternative);
    ASSERT_EQ(alt.PartCount(), 2);
    EXPECT_EQ(alt.GetPart(0).substr(0, 13), "Content-Type:");
    EXPECT_EQ(alt.GetPart(2), "");
    EXPECT_EQ(alt.GetPart(-1), "");
    EXPECT_EQ(alt.GetHeader("From:"), SJ("総務部 <soumu@example.jp>"));
    EXPECT_EQ(alt.GetText(), SJ("会議室が変わりました。\r\n新しい部屋は 5F 大会議室です。\r\n"));

    const std::string fwd = Sample("forward.eml");
    EXPECT_EQ(Parse(fwd).GetText(), SJ("転送します。\r\n"));
    EXPECT_EQ(
        Parse(fwd, true).GetText(),
        SJ("転送します。\r\n【添付】--------------------------------\r\n"
           "【発信】Suzuki Ichiro <suzuki@example.com>\r\n【日付】Fri, 5 Dec 2025 17:45:00 +0900"
           "\r\n【件名】忘年会のご案内\r\n\r\n忘年会は 12月19日 19:00 "
           "から駅前の店で行います。\r\n"));

    // An unquoted boundary ends at ";"; text before the first delimiter is
    // ignored; a delimiter counts anywhere; the closing one ends the split.
    const std::string mixed =
        "Content-Type: multipart/mixed; boundary=abc;\r\n\tcharset=x\r\n\r\n"
        "preamble--abc\r\n\r\none\r\n--abc\r\nContent-Type: multipart/mixed;"
        " boundary=in\r\n\r\n--in\r\n\r\ntwo\r\n--in--\r\n--abc--\r\n--abc\r\n"
        "\r\nlost\r\n";
    const TMailEnvelope m = Parse(mixed, true);
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.GetPart(0), "one");
    // A nested multipart is expanded from its own parts, not its raw body.
    EXPECT_EQ(m.GetText(), SJ("one\r\n【添付】--------------------------------\r\n\r\ntwo\r\n"));
    EXPECT_EQ(Parse(mixed).GetText(), "one\r\n");
    EXPECT_EQ(Parse("Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n--\r\nx").PartCount(), 0);
}

TEST(MailEnvelope, DateValues)
{
    const struct
    {
        const char* date;
        std::int64_t expected;
    } cases[] = {
        { "Tue, 8 Dec 26 10:20:30 +0900", Unix(1926, 12, 8, 37230 - 32400) },
        { "8 Dec 2025 10:20 -0130", Unix(2025, 12, 8, 37200 + 5400) },
        { "Mon,  08 Jan 2024 00:00:01 GMT", Unix(2024, 1, 8, 1) },
        { "8 Foo 2025 00:00:00 +0000", Unix(2025, 1, 8, 0) },
        { "1 Jan 2040 00:00:00 +0000", Unix(2040, 1, 1, 0) - (std::int64_t(1) << 32) },
        { "31 Feb 2025 10:00:00 +0900", 0 },
        { "0 Jan 2025 10:00:00 +0900", 0 },
        { "8 Dec", 0 },
        { "", 0 },
        { "Mon, 8 Dec 2025 1:2:3:4 +0900", 0 },
        { "1234567890123456789012345678901234567890 Dec 2025 10:00:00 +0900", 0 },
        { "8 Dec 2025 1234567890:00:00 +0900", 0 },
        { "8 Dec 2025 10:00:00 +12345678901", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMailDate(c.date), c.expected) << c.date;
    // An impossible or missing date leaves the key without a date part.
    EXPECT_EQ(Parse("Message-ID: <x@y>\r\nDate: 31 Feb 2025 10:00:00\r\n\r\n").GetMailKey(),
              "<x@y>");
    EXPECT_EQ(Parse("Message-ID: <x@y>\r\n\r\n").GetMailKey(), "<x@y>");
    EXPECT_EQ(Parse("Message-ID: <x@y>\r\nDate: 1 Jan 2040 00:00:00 +0000\r\n\r\n").GetMailKey(),
              "<x@y>,83aa7e80");
}

TEST(MailEnvelope, LinkKeyMessageIdIsSafeToStore)
{
    EXPECT_EQ(CleanMessageId("<a\"b\x01\x7f"
                             "c\\:\\d\\:\\:\\>"),
              "<a'bc\\:/d\\:/:\\>");
    const std::string so = SJ("ソ"); // its trail byte is a backslash
    EXPECT_EQ(CleanMessageId(so + ":\\" + "\x81\"x"), so + ":/\x81'x");
    const std::string longId = CleanMessageId("<" + std::string(5000, 'a') + ">");
    EXPECT_EQ(longId, "<" + std::string(997, 'a'));
    EXPECT_EQ(CleanMessageId(std::string(997, 'a') + SJ("あ")), std::string(997, 'a'));

    EXPECT_EQ(Parse("X-Priority: 1 (Highest)\r\n\r\n").GetPriority(), 3);
    EXPECT_EQ(Parse("X-Priority: 3\r\n\r\n").GetPriority(), 1);
    EXPECT_EQ(Parse("X-Priority: 5\r\n\r\n").GetPriority(), 0);
}

TEST(MailEnvelope, DefinedFieldBlockOnlyInPlainText)
{
    const std::string line = "2025/12/08,600,660,\"" + SJ("本社") + "\",\"\",10@0";
    const std::string body = SJ("メモ") + "\r\n\r\n" + strconst::BlockStart() + "\r\n" + line +
        "\r\n" + strconst::BlockEnd() + "\r\n";
    const auto defined = [](const std::string& mail) {
        return Parse(mail).GetDefinedText(strconst::BlockStart(), strconst::BlockEnd());
    };
    EXPECT_EQ(defined("Content-Type: text/plain; charset=Shift_JIS\r\n\r\n" + body), line);
    EXPECT_EQ(defined("Subject: x\r\n\r\n" + body), "");
    EXPECT_EQ(defined("Content-Type: text/html\r\n\r\n" + body), "");
    // Found after base64 decoding even when the sender wrote bare LF: the
    // same body with LF line ends, base64-encoded.
    EXPECT_EQ(
        defined("Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                "g4GDggoKCi0tS2FsdmVyby0+Pj4hCjIwMjUvMTIvMDgsNjAwLDY2MCwilnuO0CIsIiIsMTBAMAoh\r\n"
                "PDw8LS1LYWx2ZXJvLQo="),
        line);
}
