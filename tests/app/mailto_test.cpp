// "mailto:" links: the subject escaped from its UTF-8 form, the address kept
// but for what would change the link's meaning.
#include "app/mailto.h"

#include "core/sjis.h"

#include <gtest/gtest.h>

TEST(Mailto, SubjectIsEscapedFromUtf8AndTheAddressOnlyWhereItMustBe)
{
    const struct
    {
        const char* address;
        const char* subject; // nullptr: no subject
        const char* url;
    } cases[] = {
        { "", "会議 A", "mailto:?Subject=%E4%BC%9A%E8%AD%B0%20A" },
        // Everything up to "@", from 0x7F up and "[\]^`{|}" is escaped;
        // other letters, "_" and "~" stay.
        { "", "a-Z.9@_~[\\]^`{|}\x7f",
          "mailto:?Subject=a%2DZ%2E%39%40_~%5B%5C%5D%5E%60%7B%7C%7D%7F" },
        { "", "", "mailto:?Subject=" },
        { "taro@example.jp", "ｱ\r\n", "mailto:taro@example.jp?Subject=%EF%BD%B1%0D%0A" },
        { "taro@example.jp", nullptr, "mailto:taro@example.jp" },
        // What would end the address or start a header is escaped.
        { "a b?c&d#e%f\r\ng@x", nullptr, "mailto:a%20b%3Fc%26d%23e%25f%0D%0Ag@x" },
        { "太郎@x", nullptr, "mailto:%E5%A4%AA%E9%83%8E@x" },
    };
    for (const auto& c : cases) {
        const std::string address = sjis::FromUtf8(c.address);
        const std::string url =
            c.subject ? MailtoUrl(address, sjis::FromUtf8(c.subject)) : MailtoUrl(address);
        EXPECT_EQ(url, c.url) << c.address << " " << (c.subject ? c.subject : "-");
    }
}
