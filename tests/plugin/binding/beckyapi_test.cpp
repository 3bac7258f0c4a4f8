// The host binding against the test host in this process: the binding finds
// the host functions this program exports, as it finds the mail client's.

#include "plugin/binding/beckyapi.h"

#include "core/sjis.h"
#include "support/testutil.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Mail(const std::string& messageId, const std::string& date)
{
    return "From: a@example.jp\r\nSubject: s\r\nMessage-ID: " + messageId + "\r\nDate: " + date +
        "\r\n\r\nbody\r\n";
}

// An index line of count fields with key, Message-ID and date in place.
std::string IndexLine(std::size_t count, const std::string& key, const std::string& messageId,
                      const std::string& date)
{
    std::vector<std::string> fields(count, "0");
    fields[1] = key;
    fields[6] = messageId;
    fields[8] = date;
    std::string line;
    for (std::size_t i = 0; i < count; ++i)
        line += (i ? "\x01" : "") + fields[i];
    return line + "\r\n";
}

std::string EndSeparator(std::string line)
{
    return line.insert(line.size() - 2, "\x01");
}

struct HostedApi : ::testing::Test
{
    TempDir data;
    THost host { data.path };
    TBeckyAPI api;
};

TEST_F(HostedApi, BindsWhatTheHostExportsOnce)
{
    for (TBeckyAPI::Fn fn : { TBeckyAPI::Fn::GetCurrentMail, TBeckyAPI::Fn::ISO_2022_JP,
                              TBeckyAPI::Fn::CompSetText, TBeckyAPI::Fn::MenuSendMessage })
        EXPECT_TRUE(api.Has(fn)) << TBeckyAPI::Name(fn);
    EXPECT_FALSE(api.Has(TBeckyAPI::Fn::GetVersion));
    EXPECT_FALSE(api.BindHostFunctions());
    EXPECT_EQ(api.DataFolder(), data.path);
}

TEST(BeckyApi, WithoutHostFunctionsEveryOperationIsEmpty)
{
    std::vector<std::string> asked;
    TBeckyAPI api([&asked](const char* name) -> void* {
        asked.emplace_back(name);
        return nullptr;
    });
    EXPECT_EQ(asked.size(), TBeckyAPI::kFunctionCount);
    EXPECT_EQ(asked.front(), "BKA_GetVersion");
    EXPECT_EQ(asked[53], "BKA_Connect");
    EXPECT_EQ(api.GetCurrentMailSource(), "");
    EXPECT_EQ(api.GetSpecifiedHeader("Subject"), "");
    EXPECT_EQ(api.GetMailBoxFolder(), "");
    EXPECT_EQ(api.SelectMail("a/?1", "a/", "<m>,1"), "");
    EXPECT_EQ(api.MainWindow(), 0u);
    EXPECT_EQ(api.RegisterCommand("x", 0, nullptr), 0);
    EXPECT_EQ(api.ComposeMail("mailto:"), 0u);
    EXPECT_EQ(api.MenuItemCount(api.GetSubMenu(api.GetMenu(0), 1)), 0);
    EXPECT_EQ(api.MenuItemID(0, 0), BKM_NONE);
    api.RefreshMailBox();
    api.SendCommand(0, BK_ID_COPY);
    api.CompSetText(0, "x");
}

TEST(BeckyApi, AHugeMenuCountsAsItsFirstItems)
{
    static std::int32_t (*const huge)(BK_MENU) = [](BK_MENU) { return std::int32_t { INT32_MAX }; };
    TBeckyAPI api([](const char* name) {
        return std::string_view(name) == "BKM_GetMenuItemCount" ? reinterpret_cast<void*>(huge)
                                                                : nullptr;
    });
    EXPECT_EQ(api.MenuItemCount(1), TBeckyAPI::kMaxMenuItems);
}

TEST_F(HostedApi, CurrentMailSource)
{
    // No current mail.
    EXPECT_EQ(api.GetCurrentMailSource(), "");
    EXPECT_EQ(api.Source, "");
    // A current mail the host has no source for.
    host.ForceCurrentMail(host.Inbox() + "?DEADBEEF");
    EXPECT_EQ(api.GetCurrentMailSource(), "");
    EXPECT_EQ(api.MailID, "");
    // A Japanese mail: Shift_JIS exactly as iconv makes it.
    const std::string id = host.AddMail(host.Inbox(), TestData("plugin/schedule_iso2022jp.eml"));
    ASSERT_TRUE(host.SelectMail(id));
    EXPECT_EQ(api.GetCurrentMailSource(), id);
    EXPECT_EQ(api.Source, TestData("plugin/schedule_iso2022jp.sjis"));
    EXPECT_EQ(api.GetSpecifiedHeader("Subject"), SJ("打合せのお知らせ"));
}

TEST_F(HostedApi, HeaderBufferIsReadWithinItsLength)
{
    // 2046 letters and a double-byte character: the host cuts after its
    // lead byte, which is dropped.
    const std::string subject = std::string(2046, 'a') + SJ("予");
    host.SelectMail(host.AddMail(host.Inbox(), "Subject: " + subject + "\r\n\r\nx\r\n"));
    EXPECT_EQ(api.GetSpecifiedHeader("Subject"), std::string(2046, 'a'));
    // A host that fills the whole buffer without a terminator.
    host.fillHeaderBuffer = true;
    host.SelectMail(host.AddMail(host.Inbox(), "Subject: abc\r\n\r\nx\r\n"));
    EXPECT_EQ(api.GetSpecifiedHeader("Subject").size(), 2047u);
}

TEST_F(HostedApi, MailBoxFolderAndRefresh)
{
    EXPECT_EQ(api.GetMailBoxFolder(), data.path + "main.mb/");
    api.RefreshMailBox();
    EXPECT_EQ(host.folderLog, (std::vector<std::string> { "main.mb/!!!!Outbox/", "main.mb/" }));
    host.currentMailBox.clear();
    host.folderLog.clear();
    EXPECT_EQ(api.GetMailBoxFolder(), "");
    api.RefreshMailBox();
    EXPECT_TRUE(host.folderLog.empty());
}

TEST_F(HostedApi, SelectMailByIdInAnyLetterCase)
{
    const std::string id =
        host.AddMail(host.Inbox(), Mail("<a@x>", "Tue, 9 Dec 2025 09:15:00 +0900"));
    EXPECT_EQ(api.SelectMail(sjis::LowerAscii(id), "", ""), id);
    EXPECT_EQ(host.CurrentMail(), id);
}

// A mail moved to the archive is found by its key in the archive's index.
struct MovedMail : HostedApi
{
    std::string archived[2];
    void SetUp() override
    {
        archived[0] = host.AddMail(host.Archive(), Mail("<m@x>", "Tue, 9 Dec 2025 09:15:00 +0900"));
        archived[1] = host.AddMail(host.Archive(), Mail("<m@x>", "Tue, 9 Dec 2025 09:15:00 +0900"));
    }
    void Index(const std::string& lines) { data.Write("main.mb/archive/folder.idx", lines); }
    std::string Select(const std::string& folder, const std::string& key)
    {
        return api.SelectMail(host.Inbox() + "?0000FFFF", folder, key);
    }
};

TEST_F(MovedMail, FoundThroughTheIndex)
{
    // The date part in either case; a key without it matches on the
    // Message-ID alone; a folder without its separator gets one.
    Index(IndexLine(17, "00000002", "<m@x>", "69376A04"));
    for (const char* key : { "<m@x>,69376a04", "<m@x>,69376A04", "<m@x>" }) {
        EXPECT_EQ(Select("main.mb/archive/", key), archived[1]) << key;
        EXPECT_EQ(Select("main.mb/archive", key), archived[1]) << key;
    }
}

TEST_F(MovedMail, OnlyLinesOfSeventeenFieldsAndTheFirstMatchCount)
{
    const std::string key = "<m@x>,69376a04";
    struct Case
    {
        std::string index;
        std::string found;
    } cases[] = {
        { IndexLine(16, "00000001", "<m@x>", "69376A04") +
              IndexLine(18, "00000001", "<m@x>", "69376A04"),
          "" },
        // A separator at the end of a line opens no field.
        { IndexLine(17, "00000001", "<m@x>", "69376A04"), archived[0] },
        { EndSeparator(IndexLine(17, "00000001", "<m@x>", "69376A04")), archived[0] },
        // Another Message-ID (letter case counts) or another date.
        { IndexLine(17, "00000001", "<M@x>", "69376A04") + IndexLine(17, "00000002", "<m@x>", "1"),
          "" },
        // The first match is tried alone: the host refuses a mail it lacks.
        { IndexLine(17, "0000000F", "<m@x>", "69376A04") +
              IndexLine(17, "00000002", "<m@x>", "69376A04"),
          "" },
        { IndexLine(17, "00000002", "<m@x>", "69376A04") +
              IndexLine(17, "00000001", "<m@x>", "69376A04"),
          archived[1] },
    };
    for (const Case& c : cases) {
        Index(c.index);
        EXPECT_EQ(Select("main.mb/archive/", key), c.found) << c.index;
    }
}

TEST_F(MovedMail, NoIndexOrNoRecordIsNotFound)
{
    std::filesystem::remove(data.path + "main.mb/archive/folder.idx");
    EXPECT_EQ(Select("main.mb/archive/", "<m@x>"), "");
    EXPECT_EQ(Select("main.mb/missing/", "<m@x>"), "");
    EXPECT_EQ(Select("", "<m@x>"), "");
    EXPECT_EQ(Select("main.mb/archive/", ""), "");
}

} // namespace
