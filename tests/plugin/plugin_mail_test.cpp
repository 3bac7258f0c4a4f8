// Mails through the host into the plug-in: automatic registration when mails
// are received, the three context-menu commands, and mails moved in the
// host.

#include "pluginhost.h"

#include "core/repeatfields.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

// A mail with a defined-field block from sender.
std::string BlockMail(const std::string& sender, const std::string& subject)
{
    return "From: " + sender + "\r\nSubject: " + subject + "\r\nMessage-ID: <" + sender +
        ">\r\nDate: Tue, 9 Dec 2025 09:15:00 +0900\r\n"
        "Content-Type: text/plain\r\n\r\nmemo\r\n\r\n"
        "\r\n--Kalvero->>>!\r\n2025/12/17,13:00,14:00,\"room\",\"\",0\r\n!<<<--Kalvero-\r\n";
}

// Items repeat every day from a day long past: the plug-in keeps a clock of
// its own, which a test cannot set, and shows them whatever day it is.
const days::Day kLongAgo = days::Encode(2025, 1, 6);
const std::uint32_t kEveryDay = recur::Pack(recur::RepeatFields {});

const std::string kPlainMail = "From: c@example.jp\r\nSubject: hello\r\n\r\nno block\r\n";

struct MailScenario : PluginScenario
{
    // The schedule file as the plug-in wrote it.
    std::unique_ptr<TSchedList> Schedule() const
    {
        auto store = std::make_unique<TSchedList>();
        EXPECT_TRUE(store->LoadFromFile(PluginFile("Kalvero.sch"), false));
        EXPECT_EQ(store->DroppedRecords(), 0);
        return store;
    }
    std::uint32_t Command(const char* name, int menuType = BK_MENU_LIST)
    {
        host->ContextMenu(menuType, { { BK_ID_COPY, "コピー", true } });
        const std::uint32_t id = host->CommandId(name, menuType);
        EXPECT_NE(id, 0u) << name;
        return id;
    }
};

// --- Automatic registration

struct AutoPickup
{
    const char* name;
    std::string settings;
    int registered; // items, and the count the message says (0: no message)
    int alarm; // AlarmBefore of the trusted sender's item
};

void PrintTo(const AutoPickup& rule, std::ostream* os)
{
    *os << rule.name;
}

struct Receiving : MailScenario, ::testing::WithParamInterface<AutoPickup>
{
};

TEST_P(Receiving, RegistersFromTrustedSendersAndSaysHowMany)
{
    const AutoPickup& rule = GetParam();
    Settings(rule.settings);
    Load();
    ModalDriver driver;
    Answered seen;
    if (rule.registered)
        driver.Then(Press(QStringLiteral("OK"), &seen));
    const std::vector<std::string> ids =
        host->Receive({ TestData("plugin/schedule_iso2022jp.eml"),
                        BlockMail("stranger@example.com", "x"), kPlainMail });
    if (rule.registered) {
        EXPECT_EQ(seen.text,
                  QStringLiteral("Miradelプラグインは\n%1 件の予定を自動登録しました")
                      .arg(rule.registered));
        EXPECT_TRUE(ScheduleWindow()->isVisible());
    }
    const auto store = Schedule();
    ASSERT_EQ(store->Count(), rule.registered);
    if (rule.registered == 0)
        return;
    const TEventData& trusted = *store->FindByMailID(ids[0]);
    EXPECT_EQ(trusted.Subject, SJ("打合せのお知らせ"));
    // The place as iconv converted it.
    EXPECT_NE(TestData("plugin/schedule_iso2022jp.sjis").find("\"" + trusted.Place + "\""),
              std::string::npos);
    EXPECT_EQ(trusted.Place.size(), 10u);
    EXPECT_EQ(trusted.AlarmBefore, rule.alarm);
    // Nothing is registered again until mails come in.
    host->Plugin().OnFinishRetrieve(0);
}

INSTANTIATE_TEST_SUITE_P(
    Plugin, Receiving,
    ::testing::Values(AutoPickup { "Nobody", "AUTOPICKUP=0\r\n", 0, 0 },
                      AutoPickup { "Everybody", "AUTOPICKUP=1\r\n", 2, 15 },
                      AutoPickup { "TrustedSenders",
                                   "AUTOPICKUP=2\r\nUSERLIST=suzuki@example.jp\r\n", 1, 15 },
                      AutoPickup { "WithoutAlarms", "AUTOPICKUP=1\r\nALERMREJECT=1\r\n", 2, 0 }),
    [](const ::testing::TestParamInfo<AutoPickup>& info) { return info.param.name; });

TEST_F(MailScenario, AQuoteInAReceivedSubjectKeepsTheFileWhole)
{
    Settings("AUTOPICKUP=1\r\n");
    Load();
    {
        ModalDriver driver;
        driver.Then(Press(QStringLiteral("OK")));
        host->Receive({ BlockMail("a@example.jp", "\"A\" plan"), BlockMail("b@example.jp", "B") });
    }
    // After a restart every item is still there.
    host->UnloadPlugin();
    Load();
    const auto store = Schedule();
    ASSERT_EQ(store->Count(), 2);
    EXPECT_NE(store->FindByMailID(host->Inbox() + "?00000001")->Subject.find("'A'"),
              std::string::npos);
}

TEST_F(MailScenario, NothingIsRegisteredBeforeTheWindowExists)
{
    Settings("AUTOPICKUP=1\r\n");
    host->Receive({ BlockMail("a@example.jp", "x") });
    Load();
    EXPECT_EQ(Schedule()->Count(), 0);
}

TEST_F(MailScenario, AUtf8MailIsReadInShiftJis)
{
    Settings("AUTOPICKUP=1\r\n");
    Load();
    ModalDriver driver;
    driver.Then(Press(QStringLiteral("OK")));
    const std::string id = host->Receive({ TestData("mail/utf8_plain.eml") })[0];
    const auto store = Schedule();
    ASSERT_EQ(store->Count(), 1);
    EXPECT_EQ(store->FindByMailID(id)->Subject, SJ("打合せのお知らせ ?"));
    EXPECT_EQ(store->FindByMailID(id)->Place, SJ("第2会議室"));
    // What a person selects in the host's view and copies is readable too.
    host->SelectMail(id);
    host->Window()->findChild<QPlainTextEdit*>(QStringLiteral("MailView"))->selectAll();
    QString memo;
    driver.Then([&memo](QDialog* entry) {
        memo = Child<QPlainTextEdit>(entry, "Memo")->toPlainText();
        entry->reject();
    });
    host->RunCommand(Command("KalveroSelTxt", BK_MENU_VIEW));
    EXPECT_TRUE(memo.contains(QStringLiteral("第2会議室で行います。"))) << memo.toStdString();
}

// --- The commands

TEST_F(MailScenario, ImportDefinedTakesTheCurrentMailsBlock)
{
    Load();
    const std::uint32_t import = Command("KalveroImport");
    host->SelectMail(host->AddMail(host->Inbox(), kPlainMail));
    EXPECT_FALSE(host->CommandUsable(import));
    {
        ModalDriver driver;
        Answered seen;
        driver.Then(Press(QStringLiteral("OK"), &seen));
        host->RunCommand(import);
        EXPECT_EQ(seen.text, QStringLiteral("このメールには定義フィールドが見つかりません"));
    }
    // Any sender, whatever the settings say.
    const std::string id = host->AddMail(host->Inbox(), BlockMail("x@example.com", "Re: plan"));
    host->SelectMail(id);
    EXPECT_TRUE(host->CommandUsable(import));
    host->RunCommand(import);
    EXPECT_EQ(Schedule()->FindByMailID(id)->Subject, "plan");
    EXPECT_TRUE(ScheduleWindow()->isVisible());
}

TEST_F(MailScenario, ImportDefinedAsksTheHostOncePerMail)
{
    Load();
    const std::uint32_t import = Command("KalveroImport");
    host->SelectMail(host->AddMail(host->Inbox(), BlockMail("x@example.com", "s")));
    host->sourceRequests = 0;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(host->CommandUsable(import));
    EXPECT_EQ(host->sourceRequests, 1);
    host->SelectMail(host->AddMail(host->Inbox(), kPlainMail));
    EXPECT_FALSE(host->CommandUsable(import));
    EXPECT_EQ(host->sourceRequests, 2);
}

TEST_F(MailScenario, EnterMailOpensTheEntryDialogForTheMail)
{
    Load();
    const std::uint32_t enter = Command("KalveroEnter");
    host->SelectMail(host->AddMail(host->Inbox(), TestData("plugin/schedule_iso2022jp.eml")));
    const std::string other = host->AddMail(host->Inbox(), kPlainMail);
    ModalDriver driver;
    QString subject;
    driver.Then([&](QDialog* entry) {
        EXPECT_EQ(entry->objectName(), QStringLiteral("EnterForm"));
        subject = Child<QComboBox>(entry, "Subject")->currentText();
        // The item links the mail shown; another mail opened in the host
        // can be linked instead.
        auto* link = Child<QAbstractButton>(entry, "SetMailID");
        EXPECT_FALSE(link->isEnabled());
        host->SelectMail(other);
        EXPECT_TRUE(link->isEnabled());
        entry->reject();
    });
    host->RunCommand(enter);
    EXPECT_EQ(subject, QStringLiteral("打合せのお知らせ"));
}

TEST_F(MailScenario, CopyAndEnterTakesTheHostsSelection)
{
    Load();
    host->SelectMail(host->AddMail(host->Inbox(), kPlainMail));
    host->SetSelectionText(SJ("１２月２４日 会議室"));
    const std::uint32_t copy = Command("KalveroSelTxt", BK_MENU_VIEW);
    ModalDriver driver;
    QString memo;
    driver.Then([&memo](QDialog* entry) {
        memo = Child<QPlainTextEdit>(entry, "Memo")->toPlainText();
        entry->reject();
    });
    host->RunCommand(copy);
    EXPECT_EQ(host->commandLog, std::vector<std::uint32_t> { BK_ID_COPY });
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("１２月２４日 会議室"));
    EXPECT_EQ(memo, QStringLiteral("１２月２４日 会議室"));
}

TEST_F(MailScenario, CopyAndEnterWithOnlyBlanksSelectedWarns)
{
    Load();
    host->SetSelectionText(" \r\n\t");
    const std::uint32_t copy = Command("KalveroSelTxt", BK_MENU_VIEW);
    ModalDriver driver;
    Answered seen;
    driver.Then(Press(QStringLiteral("OK"), &seen));
    host->RunCommand(copy);
    EXPECT_EQ(seen.text, QStringLiteral("範囲を選択して下さい"));
    EXPECT_EQ(seen.caption, QStringLiteral("警告"));
}

TEST_F(MailScenario, AnItemIsSentThroughTheHostsComposeWindow)
{
    TSchedList store;
    TEventData item;
    item.Date = kLongAgo;
    item.Repeat = kEveryDay;
    item.Subject = "Review";
    item.Memo = "bring notes";
    store.AddEvent(item, false);
    std::filesystem::create_directories(data.path + "Kalvero");
    ASSERT_TRUE(store.SaveToFile(PluginFile("Kalvero.sch")));
    Load();
    host->RunCommand(host->CommandId("Kalvero", BK_MENU_MAIN));
    auto* sendTo = ScheduleWindow()->findChild<QMenu*>(QStringLiteral("SendTo"));
    ASSERT_NE(sendTo, nullptr);
    emit sendTo->aboutToShow();
    ASSERT_FALSE(sendTo->actions().isEmpty());
    sendTo->actions().front()->trigger();
    ASSERT_EQ(host->composeLog.size(), 1u);
    const TComposeRecord& mail = host->composeLog.front();
    EXPECT_EQ(
        mail.headers,
        (std::vector<std::pair<std::string, std::string>> { { "Subject", SJ("[予定]Review") } }));
    EXPECT_EQ(mail.text.rfind("bring notes\r\n\r\n\r\n--Kalvero->>>!\r\n", 0), 0u) << mail.text;
}

// --- Mails moved in the host

struct MovedMails : MailScenario
{
    std::vector<std::string> mails;
    void SetUp() override
    {
        TSchedList store;
        for (int i = 1; i <= 3; ++i) {
            const std::string sender = "m" + std::to_string(i) + "@example.jp";
            mails.push_back(host->AddMail(host->Inbox(), BlockMail(sender, "s")));
            TEventData item;
            item.Date = kLongAgo;
            item.Repeat = kEveryDay;
            item.Subject = "item " + std::to_string(i);
            item.MailID = mails.back();
            item.MailKey = "<" + sender + ">";
            store.AddEvent(item, false);
        }
        std::filesystem::create_directories(data.path + "Kalvero");
        ASSERT_TRUE(store.SaveToFile(PluginFile("Kalvero.sch")));
        Load();
    }
};

TEST_F(MovedMails, ThreeMailsMovedRecordTheirFolder)
{
    host->DropMails(mails, host->Archive(), BK_DROP_COPY);
    for (const std::string& mail : mails)
        EXPECT_EQ(Schedule()->FindByMailID(mail)->MailFolder, "");
    host->DropMails(mails, host->Archive(), BK_DROP_MOVE);
    const auto store = Schedule();
    for (const std::string& mail : mails)
        EXPECT_EQ(store->FindByMailID(mail)->MailFolder, host->Archive());
}

TEST_F(MovedMails, TheListWindowFollowsAMovedMail)
{
    const std::vector<std::string> moved =
        host->DropMails({ mails[1] }, host->Archive(), BK_DROP_MOVE);
    host->RunCommand(host->CommandId("Kalvero", BK_MENU_MAIN));
    auto* list = Child<QTreeWidget>(ScheduleWindow(), "SchedList");
    ASSERT_NE(list, nullptr);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->text(3).contains(QStringLiteral("item 2")))
            list->setCurrentItem(list->topLevelItem(row));
    }
    Child<QAbstractButton>(ScheduleWindow(), "MailOpenBtn")->click();
    EXPECT_EQ(host->CurrentMail(), moved[0]);
    // The link follows the mail and is saved.
    EXPECT_EQ(Schedule()->FindByMailID(moved[0])->Subject, "item 2");
}

} // namespace
