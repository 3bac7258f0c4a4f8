// Schedules carried in mails: who may register them, what the item gets, and
// that no received mail can break the schedule file.

#include "app/mailimport.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include "support/testutil.h"

namespace {

const std::string kLine = SJ("2024/06/12,10:00,11:00,\"本社\",\"仕事:FF\",15@分前");

std::string Mail(const std::string& from, const std::string& subject, const std::string& body,
                 const std::string& type = "text/plain; charset=iso-2022-jp")
{
    std::string mail = "Message-ID: <m1@example.jp>\r\n";
    if (!from.empty())
        mail += "From: " + from + "\r\n";
    return mail + "Subject: " + subject + "\r\nContent-Type: " + type + "\r\n\r\n" + body;
}

class MailImportTest : public ::testing::Test
{
protected:
    MailImportTest() { settings.LoadFromFile(""); }
    bool Import(const std::string& mail, bool force = false)
    {
        return ImportFromMail(store, mail, "inbox/?00000001", force, settings);
    }
    TInitParam settings;
    TSchedList store;
};

} // namespace

TEST_F(MailImportTest, TrustedSendersAndForce)
{
    const struct
    {
        int autoPickup;
        const char* userList;
        const char* from;
        bool force;
        bool added;
    } cases[] = {
        { 0, "", "a@b.jp", false, false },
        { 0, "", "a@b.jp", true, true },
        { 1, "", "Taro <x@y.jp>", false, true },
        { 2, "c@d.jp,a@b.jp", "Taro <A@B.JP>", false, true },
        { 2, "a@b.jp", "a@b.jp", false, true },
        // Whole entries only: a part of an address in the list is no sender.
        { 2, "xa@b.jp", "a@b.jp", false, false },
        { 2, "a@b.jp", "", false, false },
        { 2, "a@b.jp", "", true, true },
    };
    for (const auto& c : cases) {
        settings.AutoPickup = c.autoPickup;
        settings.UserList = c.userList;
        const int before = store.Count();
        EXPECT_EQ(Import(Mail(c.from, "x", "memo" + Block(kLine)), c.force), c.added) << c.from;
        EXPECT_EQ(store.Count(), before + (c.added ? 1 : 0));
    }
}

TEST_F(MailImportTest, ItemTakesTheCleanSubjectTheLinkAndTheMemo)
{
    settings.AutoPickup = 1;
    ASSERT_TRUE(
        Import(Mail("a@b.jp", SJ("Re: [予定]会議"), SJ("資料持参\r\n\r\n") + Block(kLine))));
    settings.AlermReject = true;
    ASSERT_TRUE(Import(Mail("a@b.jp", "x", Block(kLine))));
    const TEventData& e = *store.Items(0);
    EXPECT_EQ(std::tie(e.Subject, e.Date, e.StartTime, e.EndTime, e.Place, e.DataType, e.MailID,
                       e.MailKey, e.KindBits, e.OpenMail, e.AlarmBefore, e.Memo, e.Repeat),
              std::make_tuple(SJ("会議"), D(2024, 6, 12), 600, 660, SJ("本社"), SJ("仕事:FF"),
                              std::string("inbox/?00000001"), std::string(), 4, true, 15,
                              SJ("資料持参"), 0u));
    // ALERMREJECT drops the alarm; a block at the very start leaves no memo.
    EXPECT_EQ(std::tie(store.Items(1)->AlarmBefore, store.Items(1)->Memo),
              std::make_tuple(0, std::string()));
}

TEST_F(MailImportTest, HostileMailsNeverBreakTheScheduleFile)
{
    settings.AutoPickup = 1;
    TempDir tmp;
    const std::string file = tmp.path + "Kalvero.sch";
    TEventData earlier;
    earlier.Subject = SJ("前からの予定");
    earlier.Date = D(2024, 6, 1);
    earlier.Memo = "a\r\nb";
    store.AddEvent(earlier, true);
    store.OnModified = [&](TSchedList* s) { ASSERT_TRUE(s->SaveToFile(file)); };
    store.SetModified(true);

    const std::string big(50u << 20, 'x');
    const struct
    {
        std::string mail;
        bool added;
    } cases[] = {
        { Mail("a@b.jp", "say \"hi\"\"",
               "he said \"no\r\n" + Block(SJ("2024/06/12,-1,-1,\"本\"\"社,\",\"\"\"\",0@分前"))),
          true },
        { Mail("a@b.jp", "date", Block("2024/13/12,-1,-1,\"\",\"\",0@分前")), false },
        { Mail("a@b.jp", "count", Block("2024/06/12,-1,-1,\"\",0@分前")), false },
        { Mail("a@b.jp", "html", Block(kLine), "text/html"), false },
        { Mail("a@b.jp", "at the start", Block(kLine)), true },
        { "From: a@b.jp\nSubject: lf\nContent-Type: text/plain\n\nmemo\n--Kalvero->>>!\n" + kLine +
              "\n!<<<--Kalvero-\n",
          true },
        { Mail("a@b.jp", "big, no block", big), false },
        { Mail("a@b.jp", "big", big + Block(kLine)), true },
    };
    std::vector<std::string> lines { store.EventToLine(*store.Items(0), 1) };
    for (const auto& c : cases) {
        ASSERT_EQ(Import(c.mail), c.added) << c.mail.substr(0, 120);
        if (c.added)
            lines.push_back(store.EventToLine(*store.Items(store.Count() - 1), 1));
        TSchedList reloaded;
        ASSERT_TRUE(reloaded.OpenFile(file));
        EXPECT_EQ(reloaded.DroppedRecords(), 0);
        ASSERT_EQ(reloaded.Count(), static_cast<int>(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            bool found = false;
            for (const TEventData* item : reloaded.All())
                found = found || reloaded.EventToLine(*item, 1) == lines[i];
            EXPECT_TRUE(found) << lines[i].substr(0, 120);
        }
    }
    const TEventData& quoted = *store.Items(1);
    EXPECT_EQ(std::tie(quoted.Subject, quoted.Place, quoted.DataType, quoted.Memo),
              std::make_tuple(std::string("say 'hi''"), SJ("本'社,"), std::string("'"),
                              std::string("he said 'no")));
    EXPECT_EQ(store.Items(store.Count() - 1)->Memo.size(), big.size());
}

TEST(MailHasBlock, OnlyAPlainTextMailWithBothMarkers)
{
    EXPECT_TRUE(MailHasBlock(Mail("", "s", "x" + Block(kLine))));
    EXPECT_FALSE(MailHasBlock(Mail("", "s", "x" + Block(kLine), "text/html")));
    EXPECT_FALSE(MailHasBlock(Mail("", "s", "x\r\n--Kalvero->>>!\r\n" + kLine)));
}
