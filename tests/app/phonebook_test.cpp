#include "app/phonebook.h"

#include "core/sjis.h"

#include <gtest/gtest.h>

#include <random>

using phonebook::Entry;

TEST(PhoneBookLines, ReadAndWriteFollowTheCommaRulesAndReadBackAsWritten)
{
    const std::string taro = SJ("山田 太郎"), so = SJ("ソ表"); // a blank; trail bytes 0x5C
    const struct
    {
        std::string line; // as read
        Entry fields; // empty: the line holds no entry
        std::string written; // the entry's line
    } cases[] = {
        { "", {}, "" },
        { "\"only a name\"", {}, "" },
        { "lonely,", {}, "" }, // a comma at the end adds no field
        { "\"" + taro + "\",03-1234,\"a b\"",
          { taro, "03-1234", "a b" },
          "\"" + taro + "\",03-1234,\"a b\"" },
        { "\"" + so + "\",1,m@x.jp,note,extra\tfield",
          { so, "1", "m@x.jp", "note", "extra", "field" },
          "\"" + so + "\",1,m@x.jp,note,extra,field" },
        { "Bob 555", { "Bob", "555" }, "\"Bob\",555" },
        { "\"a \"\"b\"\"\",\"1,2\",\"x\ty\"",
          { "a \"b\"", "1,2", "x\ty" },
          "\"a \"\"b\"\"\",\"1,2\",\"x\ty\"" },
        // An empty last field is quoted so that it reads back.
        { "\"n\",\"1\",\"\",\"\"", { "n", "1", "", "" }, "\"n\",1,,\"\"" },
        { "\"\",1", { "", "1" }, "\"\",1" },
        // A lead byte without its trail byte would swallow the next comma or
        // quote when read again: it becomes "?".
        { "\"n\",1,x\x81", { "n", "1", "x?" }, "\"n\",1,x?" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Entry entry { "untouched" };
        ASSERT_EQ(phonebook::ParseLine(c.line, entry), !c.fields.empty());
        if (c.fields.empty()) {
            EXPECT_EQ(entry, Entry { "untouched" });
            continue;
        }
        EXPECT_EQ(entry, c.fields);
        EXPECT_EQ(phonebook::FormatLine(entry), c.written);
    }
    // CR, LF and NUL are dropped from entered fields; a bad lead byte is "?".
    EXPECT_EQ(phonebook::FormatLine({ "a\r\nb", std::string("1\0\n2", 4), "\x81\"\x82\xA0", "\r" }),
              "\"ab\",12,\"?\"\"\x82\xA0\",\"\"");
    // A file: CR LF line ends; short and empty lines vanish.
    const std::string canonical = "\"" + so + "\",2,,\"\"\r\n\"five\",1,2,3,4\r\n";
    const std::vector<Entry> entries = phonebook::ParseText("\"x\"\r\n\r\n" + canonical + "y\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(phonebook::FormatText(entries), canonical);
}

TEST(PhoneBookLines, MutatedInputAlwaysReadsBackAsTheFieldsItWasWrittenFrom)
{
    const std::string seed = "\"" + SJ("電話 帳") + "\",\"0\"\"3\",m@x.jp,\"a,b\",,\"\"\r\n" +
        SJ("名前") + " 1\t2\r\n\"x\",\"y\r\n";
    const char extras[] = { '"', ',', ' ', '\t', '\r', '\n', '\0', '\x81', '\x5C', '\xFC' };
    std::mt19937 rng(20261209);
    for (int round = 0; round < 3000; ++round) {
        std::string text = seed;
        for (int e = 1 + static_cast<int>(rng() % 8); e > 0; --e) {
            const std::size_t pos = rng() % (text.size() + 1);
            const unsigned op = rng() % 3;
            if (op == 0 || pos == text.size())
                text.insert(pos, 1, extras[rng() % sizeof extras]);
            else if (op == 1)
                text.erase(pos, 1);
            else
                text[pos] = static_cast<char>(rng() & 0xFF);
        }
        const std::vector<Entry> entries = phonebook::ParseText(text);
        for (const Entry& entry : entries)
            ASSERT_GE(entry.size(), 2u);
        ASSERT_EQ(phonebook::ParseText(phonebook::FormatText(entries)), entries) << text;
    }
}
