#include "mail/decoders.h"

#include "core/sjis.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

// glibc iconv as the outside reference; false when it refuses the input.
bool Iconv(const char* to, const char* from, const std::string& in, std::string& out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buf[64];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size(), dstLeft = sizeof buf;
    char* dst = buf;
    bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) &&
        iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.assign(buf, dst);
    return ok && srcLeft == 0;
}

std::string B64Word(const char* prefix, const std::string& base64)
{
    return std::string(prefix) + base64 + "?=";
}

} // namespace

TEST(JisConversion, AgreesWithIconvForEveryJisX0208CodePoint)
{
    int checked = 0, necChecked = 0;
    for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string pair { static_cast<char>(j1), static_cast<char>(j2) };
            const std::string iso = "\x1b$B" + pair + "\x1b(B";
            const std::string euc { static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80) };
            const std::uint16_t s = JisToSjis(j1, j2);
            const std::string ours { static_cast<char>(s >> 8), static_cast<char>(s & 0xFF) };
            std::string expected;
            if (Iconv("SHIFT_JIS", "ISO-2022-JP", iso, expected)) {
                ++checked;
                ASSERT_EQ(ours, expected) << std::hex << j1 << " " << j2;
                ASSERT_EQ(Iso2022JpToSjis(iso), expected);
                ASSERT_TRUE(Iconv("SHIFT_JIS", "EUC-JP", euc, expected));
                ASSERT_EQ(EucJpToSjis(euc), expected);
            } else if (j1 == 0x2D) {
                // Row 13 (NEC special characters) exists only in CP932: the
                // character must be the one the CP932 table has there.
                std::string unicode;
                if (!Iconv("UTF-8", "EUC-JP-MS", euc, unicode))
                    continue;
                ++necChecked;
                ASSERT_EQ(sjis::ToUtf8(ours), unicode) << std::hex << j2;
                ASSERT_EQ(sjis::ToUtf8(Iso2022JpToSjis(iso)), unicode);
                ASSERT_EQ(sjis::ToUtf8(EucJpToSjis(euc)), unicode);
            }
        }
    }
    EXPECT_GE(checked, 6879); // JIS X 0208:1997 defines 6879 characters
    EXPECT_EQ(necChecked, 83);
}

TEST(JisConversion, EscapesHalfWidthKanaAndTruncatedInput)
{
    const std::string a = SJ("あ"), ka = SJ("カ");
    EXPECT_EQ(Iso2022JpToSjis("x\x1b$B$\"\x1b(Jy\x1b$@$\"\x1b(Bz"), "x" + a + "y" + a + "z");
    // An unknown escape is consumed and keeps the mode.
    EXPECT_EQ(Iso2022JpToSjis("\x1b$B$\"\x1b(I$\"\x1b(B"), a + a);
    EXPECT_EQ(Iso2022JpToSjis("ab\x1b$"), "ab");
    EXPECT_EQ(Iso2022JpToSjis("\x1b$B$\"$"), a);
    EXPECT_EQ(EucJpToSjis("a\xa4\xa2\x8e\xb6z"), "a" + a + "\xb6z");
    EXPECT_EQ(EucJpToSjis("\xa5\xab\xa4"), ka);
    EXPECT_EQ(EucJpToSjis("\x8e"), "");
}

TEST(TransferDecoding, Base64)
{
    EXPECT_EQ(DecodeBase64("TWFu"), "Man");
    EXPECT_EQ(DecodeBase64("TWE="), "Ma");
    EXPECT_EQ(DecodeBase64("TQ=="), "M"); // two equals signs keep the last byte
    EXPECT_EQ(DecodeBase64("\r\nTW\r\nFu\xff\x80 TQ"), "ManM");
    EXPECT_EQ(DecodeBase64("T"), "");
    EXPECT_EQ(DecodeBase64("!!!@@@"), "");
}

TEST(TransferDecoding, QuotedPrintableNeverReadsPastTheEnd)
{
    EXPECT_EQ(DecodeQuotedPrintable("a=41=3d=\r\nb"), "aA=b");
    EXPECT_EQ(DecodeQuotedPrintable("a=zzb"), "ab");
    EXPECT_EQ(DecodeQuotedPrintable("a="), "a");
    EXPECT_EQ(DecodeQuotedPrintable("a=4"), "a");
    EXPECT_EQ(DecodeQuotedPrintable("=82=A0"), "\x82\xa0");
}

TEST(EncodedWords, DecodeByCharsetAndLeaveTheRest)
{
    const std::string kaigi = SJ("会議");
    // "会議" in ISO-2022-JP, EUC-JP and Shift_JIS.
    const std::string iso = B64Word("=?iso-2022-jp?b?", "GyRCMnE1RBsoQg==");
    const std::string euc = B64Word("=?EUC-JP?B?", "svG1xA==");
    const std::string sj = B64Word("=?Shift_JIS?B?", "ie+LYw==");
    EXPECT_EQ(DecodeMimeHeader("Subject: " + iso + " / " + euc + "/" + sj),
              "Subject: " + kaigi + " / " + kaigi + "/" + kaigi);
    // UTF-8 and "Q" words, in any case; what Shift_JIS lacks becomes "?".
    EXPECT_EQ(DecodeMimeHeader("=?utf-8?b?5Lya6K2w?= =?UTF-8?Q?=E4=BC=9A_x?= "
                               "=?Iso-2022-JP?q?=1B$B2q5D=1B(B?= =?UTF-8?B?8J+YgA==?="),
              kaigi + " " + SJ("会 x") + " " + kaigi + " ?");
    // Other charsets, a blank in a "Q" word and a word cut short stay.
    const std::string others = "=?KOI8-R?B?5Lya?= =?UTF-8?Q?a b?= ";
    EXPECT_EQ(DecodeMimeHeader(others + iso), others + kaigi);
    const std::string broken = "=?ISO-2022-JP?B?GyRCMnE1?x?=";
    EXPECT_EQ(DecodeMimeHeader(broken + " " + iso), broken + " " + kaigi);
    EXPECT_EQ(DecodeMimeHeader("=?ISO-2022-JP?B?GyRC"), "=?ISO-2022-JP?B?GyRC");
    // A decoded line break cannot start a header line of its own.
    EXPECT_EQ(DecodeMimeHeader(B64Word("=?SHIFT_JIS?B?", "eA0KQmNjOiBl")), "x  Bcc: e");
}

TEST(HeaderParameters, QuotedUnquotedAndOnlyWhereAParameterStarts)
{
    EXPECT_EQ(GetHeaderParam("multipart/mixed; boundary=\"a b;c\"", "boundary"), "a b;c");
    EXPECT_EQ(GetHeaderParam("multipart/mixed; BOUNDARY='xy'", "boundary"), "xy");
    EXPECT_EQ(GetHeaderParam("multipart/mixed; boundary=abc; charset=x", "boundary"), "abc");
    EXPECT_EQ(GetHeaderParam("multipart/mixed;boundary = abc def", "boundary"), "abc");
    EXPECT_EQ(GetHeaderParam("multipart/mixed; boundary=\"open", "boundary"), "");
    EXPECT_EQ(GetHeaderParam("text/plain; x-charset=a; charset=\"ISO-2022-JP\"; format=flowed",
                             "charset"),
              "ISO-2022-JP");
    EXPECT_EQ(GetHeaderParam("text/plain; charsetx=a", "charset"), "");
    EXPECT_EQ(GetHeaderParam("text/plain; charset=", "charset"), "");
}
