// The main window's mail commands against a fake host mail client: sending
// an item and reading it back, following and repairing mail links, moved
// mails, the quick link, a new item from a mail and the day digest at start.

#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/datapaths.h"
#include "app/definedfield.h"
#include "app/forms/enterform.h"
#include "app/forms/hostmail.h"
#include "app/forms/listwindow.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "support/testutil.h"
#include <map>
#include <sys/stat.h>

namespace {

const days::Day kToday = D(2024, 6, 10);

// A host mail client with mails by ID, folders by name, and a record of what
// it was asked.
class FakeHost : public THostMailVariant
{
public:
    explicit FakeHost(std::string executable) : executable_(std::move(executable)) { }
    TDataPaths DataPaths() const override { return ProgramDataPaths(executable_); }
    std::string CurrentMailID() override { return current; }
    std::string CurrentMailSource(std::string& source) override
    {
        const auto mail = mails.find(current);
        source = mail == mails.end() ? std::string() : mail->second;
        return mail == mails.end() ? std::string() : current;
    }
    std::string SelectMail(const std::string& id, const std::string& folder,
                           const std::string& key) override
    {
        calls.push_back("select " + id + " " + folder + " " + key);
        return found;
    }
    std::string FolderDisplayName(const std::string& folder) override
    {
        const auto name = folders.find(folder);
        return name == folders.end() ? std::string() : name->second;
    }
    void SetCurrentFolder(const std::string& folder) override { calls.push_back("show " + folder); }
    std::string MailBoxFolder() override { return mailBox; }
    void RefreshMailBox() override { calls.push_back("refresh"); }
    ComposeHandle HostComposeMail(const std::string& url) override
    {
        calls.push_back("compose " + url);
        return handle;
    }
    void HostComposeSubject(ComposeHandle compose, const std::string& text) override
    {
        calls.push_back("subject " + std::to_string(compose) + " " + text);
    }
    void HostComposeText(ComposeHandle compose, const std::string& text) override
    {
        calls.push_back("text " + std::to_string(compose) + " " + text);
    }

    std::string current;
    std::map<std::string, std::string> mails;
    std::string found;
    std::map<std::string, std::string> folders;
    std::string mailBox;
    ComposeHandle handle = 7;
    std::vector<std::string> calls;

private:
    std::string executable_;
};

std::string PlainMail(const std::string& headers, const std::string& body)
{
    return headers + "Content-Type: text/plain; charset=iso-2022-jp\r\n\r\n" + body;
}

class MailCommandsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        host = std::make_unique<FakeHost>(dir + "Kalvero");
        scoped = std::make_unique<TScopedBuildVariant>(host.get());
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        scoped.reset();
    }
    void Start()
    {
        Create();
        Show();
        form->Calendar->SetKindMask(7);
        form->Calendar->SetCurrentDate(kToday);
    }
    PEventData Add(const std::string& subject, const std::string& mailId = {}, int kindBits = 0)
    {
        TEventData e;
        std::tie(e.Subject, e.Date, e.MailID, e.KindBits) =
            std::tie(subject, kToday, mailId, kindBits);
        form->Calendar->AddEvent(e);
        return Find(subject);
    }

    days::FixedClock clock { days::MomentOf(kToday, 8 * 60) };
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<TScopedBuildVariant> scoped;
};

} // namespace

TEST_F(MailCommandsTest, SentItemReadsBackThroughTheImport)
{
    Start();
    PEventData meeting = Add(SJ("定例会議"));
    meeting->HasTime = true;
    std::tie(meeting->StartTime, meeting->EndTime, meeting->AlarmBefore, meeting->AlarmUnit) =
        std::tuple(540, 630, 2, 1);
    meeting->Place = SJ("本社 3F");
    meeting->DataType = SJ("仕事:FF0000");
    meeting->Memo = SJ("議題\r\n資料");
    form->Calendar->SetModified(true);
    ASSERT_NE(SubItem(form->SendTo, meeting), nullptr);
    SubItem(form->SendTo, meeting)->trigger();
    const std::string block =
        Block(SJ("2024/06/10,09:00,10:30,\"本社 3F\",\"仕事:FF0000\",2@時間前"));
    EXPECT_EQ(host->calls,
              (std::vector<std::string> { "compose ", "subject 7 " + SJ("[予定]定例会議"),
                                          "text 7 " + SJ("議題\r\n資料\r\n\r\n") + block }));

    // The mail the other side receives becomes the same item there.
    const std::string mail = PlainMail("Subject: " + SJ("Re: [予定]定例会議") + "\r\n",
                                       SJ("議題\r\n資料\r\n\r\n") + block);
    ASSERT_TRUE(form->ImportFromMail(mail, "inbox?00000009", true));
    PEventData copy = form->Calendar->Store().FindByMailID("inbox?00000009");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::tie(copy->Subject, copy->Date, copy->StartTime, copy->EndTime, copy->Place,
                       copy->DataType, copy->AlarmBefore, copy->AlarmUnit, copy->Memo),
              std::tie(meeting->Subject, meeting->Date, meeting->StartTime, meeting->EndTime,
                       meeting->Place, meeting->DataType, meeting->AlarmBefore, meeting->AlarmUnit,
                       meeting->Memo));
    EXPECT_NE(Read("Kalvero.sch").find("inbox?00000009"), std::string::npos);
    EXPECT_FALSE(form->ImportFromMail(PlainMail("Subject: x\r\n", "no block"), "id", true));
}

TEST_F(MailCommandsTest, SendingRefusesSecretItemsAndAMissingComposeWindow)
{
    Start();
    TEventData item;
    item.Subject = "s";
    const struct
    {
        int kindBits;
        THostMailVariant::ComposeHandle handle;
        msgdlg::Kind kind;
        const char* message;
        std::vector<std::string> calls;
    } cases[] = {
        { 1, 7, msgdlg::Kind::Warning, "秘密の予定はメールで送れません", {} },
        { 0,
          0,
          msgdlg::Kind::Error,
          "メールの作成ウィンドウを開けませんでした",
          { "compose mailto:a@b.jp" } },
    };
    for (const auto& c : cases) {
        host->calls.clear();
        host->handle = c.handle;
        item.KindBits = c.kindBits;
        DialogScript script;
        script.Press(msgdlg::Ok);
        host->SendScheduleMail("a@b.jp", item, form.get());
        EXPECT_EQ(host->calls, c.calls);
        ASSERT_EQ(script.shown().size(), 1u);
        EXPECT_EQ(script.shown()[0].kind, c.kind);
        EXPECT_EQ(script.shown()[0].sjisText(), sjis::FromUtf8(c.message));
    }
}

TEST_F(MailCommandsTest, LinkedMailFoundRepairedOrReportedLost)
{
    Start();
    const std::string lost = SJ("リンクメールが行方不明です！！！\r\n");
    const std::string notice = SJ("クリップボードに Message-ID をコピーしました\r\n<<k@x>>\r\n"
                                  "Beckyで検索してみてください！");
    const struct
    {
        std::string key, folder, found;
        msgdlg::Button answer; // NoButton: no question
        bool repaired;
        std::string mailId, clipboard;
        std::vector<std::string> messages;
        std::vector<std::string> shown; // folders the host was asked to show
    } cases[] = {
        { "<k@x>,5f", "", "INBOX?0001", msgdlg::NoButton, false, "inbox?0001", "before", {}, {} },
        { "<k@x>,5f",
          "old\\",
          "inbox?0002",
          msgdlg::NoButton,
          true,
          "inbox?0002",
          "before",
          {},
          {} },
        { "<k@x>,5f",
          "old\\",
          "",
          msgdlg::Yes,
          false,
          "inbox?0001",
          "<k@x>",
          { lost +
                SJ("移動先 に移動したという記録が残ってます…（＠_＠；\r\nフォルダを移動しますか？"),
            notice },
          { "show old\\" } },
        { "<k@x>,5f",
          "old\\",
          "",
          msgdlg::No,
          false,
          "inbox?0001",
          "before",
          { lost +
            SJ("移動先 に移動したという記録が残ってます…（＠_＠；\r\nフォルダを移動しますか？") },
          {} },
        { "<k@x>", "", "", msgdlg::NoButton, false, "inbox?0001", "<k@x>", { lost + notice }, {} },
        { "",
          "",
          "",
          msgdlg::NoButton,
          false,
          "inbox?0001",
          "before",
          { lost + SJ("記録が残って無いのでお手上げですぅ… ヽ(ﾟдﾟ)ﾉ") },
          {} },
    };
    host->folders["old\\"] = SJ("移動先");
    for (const auto& c : cases) {
        QApplication::clipboard()->setText(u"before"_qs);
        host->calls.clear();
        host->found = c.found;
        TEventData item;
        std::tie(item.MailID, item.MailKey, item.MailFolder) =
            std::tie("inbox?0001", c.key, c.folder);
        DialogScript script;
        if (c.answer != msgdlg::NoButton)
            script.Press(c.answer);
        for (std::size_t i = c.answer == msgdlg::NoButton ? 0 : 1; i < c.messages.size(); ++i)
            script.Press(msgdlg::Ok);
        EXPECT_EQ(host->OpenLinkedMail(item, form.get()), c.repaired) << c.key << c.found;
        EXPECT_EQ(item.MailID, c.mailId);
        EXPECT_EQ(item.MailFolder, c.repaired ? "" : c.folder);
        EXPECT_EQ(Clipboard(), c.clipboard);
        std::vector<std::string> messages, shown;
        for (const auto& s : script.shown())
            messages.push_back(s.sjisText());
        EXPECT_EQ(messages, c.messages);
        for (const std::string& call : host->calls)
            if (call.rfind("show ", 0) == 0)
                shown.push_back(call);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(host->calls.front(), "select inbox?0001 " + c.folder + " " + c.key);
    }

    // From the list window, a repaired link is saved at once.
    PEventData linked = Add("linked", "inbox?0001");
    TListWindow* lw = form->ListWindow;
    lw->SchedList->setCurrentItem(lw->SchedList->topLevelItem(0));
    ASSERT_EQ(lw->ShownItem(), linked);
    host->found = "inbox?0002";
    lw->MailOpenBtn->click();
    EXPECT_EQ(linked->MailID, "inbox?0002");
    EXPECT_NE(Read("Kalvero.sch").find("inbox?0002"), std::string::npos);
}

TEST_F(MailCommandsTest, MovedMailsRecordTheirFolderAndSaveOnce)
{
    Start();
    PEventData a = Add("a", "in?1");
    PEventData b = Add("b", "in?2");
    PEventData c = Add("c", "in?3");
    PEventData unlinked = Add("d");
    form->MailsMoved("moved\\", "in?1\r\n\nin?2\nin?3", 9);
    for (PEventData item : { a, b, c })
        EXPECT_EQ(item->MailFolder, "moved\\") << item->Subject;
    EXPECT_EQ(unlinked->MailFolder, "");
    EXPECT_FALSE(form->Calendar->Store().Modified);
    EXPECT_NE(Read("Kalvero.sch").find("in?3\\:\\\\:\\moved\\"), std::string::npos);
    // A count of 0 or less moves nothing, whatever the list holds.
    form->MailsMoved("other\\", "in?1", 0);
    form->MailsMoved("other\\", "in?1", -1);
    EXPECT_EQ(a->MailFolder, "moved\\");
}

TEST_F(MailCommandsTest, QuickLinkTakesTheCurrentMailWhole)
{
    Start();
    PEventData item = Add("item", "in?1");
    item->MailFolder = "old\\";
    host->current = "in?7";
    host->mails["in?7"] = PlainMail("Message-ID: <q@x>\r\nDate: 31 Feb 2024 10:00:00\r\n", "");
    QAction* link = SubItem(form->QuickLink, item);
    ASSERT_NE(link, nullptr);
    link->trigger();
    EXPECT_EQ(std::tie(item->MailID, item->MailKey, item->MailFolder, item->UpdateDate),
              std::make_tuple(std::string("in?7"), std::string("<q@x>"), std::string(), kToday));
    EXPECT_NE(Read("Kalvero.sch").find("\"in?7\\:\\<q@x>\""), std::string::npos);
}

TEST_F(MailCommandsTest, NewItemFromTheCurrentMail)
{
    Start();
    host->current = "in?7";
    host->mails["in?7"] = PlainMail(
        "Message-ID: <n@x>\r\nX-Priority: 1\r\nSubject: " + SJ("Re: [予定] 打ち合わせ") + "\r\n",
        SJ("明日 10:00 から"));
    const struct
    {
        std::string current, text;
        bool useText;
        QString subject, memo;
        std::string mailId;
        int priority;
    } cases[] = {
        { "in?7", "", false, u"打ち合わせ"_qs, u"明日 10:00 から\n"_qs, "in?7", 3 },
        { "in?7", SJ("選んだ文"), true, u"打ち合わせ"_qs, u"選んだ文"_qs, "in?7", 3 },
        { "", SJ("選んだ文"), true, QString(), u"選んだ文"_qs, "", 0 },
    };
    for (const auto& c : cases) {
        host->current = c.current;
        ModalDriver driver;
        driver.Then<TEnterForm>([&c](TEnterForm* dialog) {
            EXPECT_EQ(dialog->Subject->currentText(), c.subject);
            EXPECT_EQ(dialog->Memo->toPlainText(), c.memo);
            EXPECT_EQ(dialog->EditCopy().MailID, c.mailId);
            EXPECT_EQ(dialog->EditCopy().Priority, c.priority);
            dialog->CancelBtn->click();
        });
        form->NewFromMail(c.text, c.useText);
    }
}

TEST_F(MailCommandsTest, CurrentMailHasScheduleUnlessScanningIsOff)
{
    Start();
    host->mails["block"] = PlainMail("", "x" + Block("2024/06/12,-1,-1,\"\",\"\",0@分前"));
    host->mails["plain"] = PlainMail("", "no block");
    const std::tuple<const char*, bool, bool> cases[] = {
        { "block", false, true },
        { "block", true, false },
        { "plain", false, false },
        { "", false, false },
    };
    for (const auto& [current, noScan, has] : cases) {
        host->current = current;
        InitParam.NoScanField = noScan;
        EXPECT_EQ(form->CurrentMailHasSchedule(), has) << current << noScan;
    }
}

TEST_F(MailCommandsTest, DigestAtStartGoesToTheMailboxOrIsReported)
{
    Write("Kalvero.ini", "QUICKMEMO=1\r\nNOMEMOSCHED=0\r\n");
    Write("Kalvero.sch",
          SJ("*2024/06/01,2024/06/10,-1,-1,\"会議\",\"\",\"\",\"\",0,0,0@分前,\"\"\r\n"));
    host->mailBox = dir + "box/";
    ASSERT_EQ(::mkdir(host->mailBox.c_str(), 0700), 0);
    Create();
    EXPECT_EQ(Read("box/memo.txt"),
              SJ("【6/10】の予定\r\n 件名:会議\r\n 時間:指定無し\r\n 場所:\r\n メモ:\r\n\r\n\r\n"
                 "--------------------------------\r\n"));
    EXPECT_EQ(host->calls, std::vector<std::string> { "refresh" });
    form.reset();

    // A mailbox that is not there: said once, and the window starts whole.
    host->calls.clear();
    host->mailBox = dir + "gone/";
    DialogScript script;
    script.Press(msgdlg::Ok);
    Create();
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].kind, msgdlg::Kind::Error);
    EXPECT_EQ(form->Calendar->Store().Count(), 1);
    EXPECT_TRUE(host->calls.empty());
    form.reset();

    // No mailbox at all: nothing to say and nothing to refresh.
    host->mailBox.clear();
    DialogScript silent;
    Create();
    EXPECT_TRUE(silent.shown().empty());
    EXPECT_TRUE(host->calls.empty());
}
