// What the program build does instead of a host mail client, through the
// real main window: hiding into the task tray (a fake icon), registering
// schedules copied to the clipboard, and sending items and mails as
// "mailto:" links (caught on their way to the desktop).
#include "mainwin_fixture.h"
#include "modal_driver.h"

#include "app/definedfield.h"
#include "app/forms/listwindow.h"
#include "core/sjis.h"
#include "gui/qtext.h"
#include "view/wscheduler.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <optional>

#include "support/testutil.h"

namespace {

// The links the program hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler(u"mailto"_qs, this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(u"mailto"_qs); }
    QStringList urls;

public slots:
    void Open(const QUrl& url) { urls << QString::fromLatin1(url.toEncoded()); }
};

class ProgramBuildTest : public MainWindowTest
{
protected:
    void Start()
    {
        Create();
        Show();
        InitParam.AutoPickup = 1;
    }
    // Another program copies text.
    static void CopyFromOutside(const std::string& sjisText)
    {
        QApplication::clipboard()->setText(qtext::ToQ(sjisText));
        Settle();
    }
    // The item of that subject in the schedule file.
    std::optional<TEventData> Saved(const std::string& subject)
    {
        TSchedList saved;
        saved.LoadFromFile(dir + "Kalvero.sch", false);
        for (PEventData item : saved.All())
            if (item->Subject == subject)
                return *item;
        return std::nullopt;
    }

    const std::string line = SJ("2026/05/10,10:00,11:30,\"本社 3F\",\"仕事:FF\",15@分前");
};

} // namespace

TEST_F(ProgramBuildTest, HidingGoesIntoTheTrayAndALeftClickBringsTheWindowBack)
{
    Write("Kalvero.ini", "INVOKE=49227\r\n"); // Ctrl+Alt+K
    Start();
    // The hot key hides the window in front into the tray; pressed again it
    // brings the window back, and the icon goes.
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    keys->Press(0xC04B);
    Settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(trayIcon->Shown());
    keys->Press(0xC04B);
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(trayIcon->Shown());

    form->HideBtn->click();
    EXPECT_FALSE(form->isVisible());
    ASSERT_TRUE(trayIcon->Shown());
    EXPECT_EQ(trayIcon->tip, u"Miradel-アプリ版"_qs);
    EXPECT_FALSE(trayIcon->icon.pixmap(16).isNull());
    for (tray::Click other : { tray::Click::Double, tray::Click::Context, tray::Click::Middle }) {
        trayIcon->Click(other);
        Settle();
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(trayIcon->Shown());
    }
    trayIcon->Click(tray::Click::Left);
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(trayIcon->Shown());

    // A minimise by the window manager is not hiding.
    form->setWindowState(Qt::WindowMinimized);
    Settle();
    EXPECT_FALSE(trayIcon->Shown());
    form->setWindowState(Qt::WindowNoState);

    // Closed while in the tray (the session ends): the icon goes too.
    form->HideBtn->click();
    ASSERT_TRUE(trayIcon->Shown());
    form->close();
    EXPECT_FALSE(trayIcon->Shown());
}

TEST_F(ProgramBuildTest, CopiedBlockBecomesOneItemInTheScheduleFile)
{
    Start();
    const struct
    {
        std::string text;
        bool rejectAlarm;
        std::string subject, memo;
        int alarm;
    } cases[] = {
        { SJ("会議 B\r\n資料") + Block(line), false, SJ("会議 B"), SJ("会議 B\r\n資料"), 15 },
        // Line ends of Linux programs; the first line is the subject as it
        // stands.
        { sjis::ReplaceAll(SJ("Re: 打合せ\r\nメモ") + Block(line), "\r\n", "\n"), false,
          SJ("Re: 打合せ"), SJ("Re: 打合せ\r\nメモ"), 15 },
        { SJ("\"至急\" 連絡") + Block(line), false, SJ("'至急' 連絡"), SJ("'至急' 連絡"), 15 },
        { SJ("確認") + Block(line), true, SJ("確認"), SJ("確認"), 0 },
    };
    int expected = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        InitParam.AlermReject = c.rejectAlarm;
        CopyFromOutside(c.text);
        EXPECT_EQ(Count(), ++expected);
        const std::optional<TEventData> e = Saved(c.subject);
        ASSERT_TRUE(e);
        EXPECT_EQ(std::tie(e->Date, e->StartTime, e->EndTime, e->Place, e->DataType, e->Memo),
                  std::make_tuple(D(2026, 5, 10), 600, 690, SJ("本社 3F"), SJ("仕事:FF"), c.memo));
        EXPECT_EQ(std::tie(e->AlarmBefore, e->KindBits, e->OpenMail, e->MailID, e->Repeat),
                  std::make_tuple(c.alarm, 4, true, std::string(), 0u));
    }
}

TEST_F(ProgramBuildTest, OnlyASoundBlockCopiedFromOutsideWhileWatchingIsTaken)
{
    DialogScript quiet; // nothing here says a word
    Start();
    // Five fields, an impossible date, the start marker without the line end
    // it begins with.
    for (const std::string& text :
         { "x" + Block("2026/06/01,9:00,10:00,\"\",\"\""),
           "y" + Block(SJ("2026/13/45,9:00,10:00,\"\",\"\",0@分前")), Block(line).substr(2) }) {
        CopyFromOutside(text);
        EXPECT_EQ(Count(), 0) << text;
    }

    // AUTOPICKUP 0: copies are left alone, the menu command still imports.
    InitParam.AutoPickup = 0;
    CopyFromOutside(SJ("手動") + Block(line));
    EXPECT_EQ(Count(), 0);
    form->PImport->trigger();
    EXPECT_EQ(Count(), 1);
    InitParam.AutoPickup = 1;

    // Our own copy is not taken back, neither when it is written nor when a
    // clipboard manager announces it again.
    form->ShowCurrentItem(form->Calendar->Store().Items(0), true);
    form->CopyAction->trigger();
    Settle();
    ASSERT_TRUE(Clipboard().starts_with(SJ("手動\r\n")));
    for (int announced = 0; announced < 2; ++announced) {
        QApplication::clipboard()->setText(QApplication::clipboard()->text());
        Settle();
    }
    EXPECT_EQ(Count(), 1);

    // Nothing is taken while the entry or the settings dialog is open.
    ModalDriver driver;
    driver.Then([&](QDialog* entry) {
        CopyFromOutside(SJ("入力中") + Block(line));
        entry->reject();
    });
    form->NewAction->trigger();
    setup->onExecute = [&] {
        CopyFromOutside(SJ("設定中") + Block(line));
        return false;
    };
    form->SetupAction->trigger();
    Settle();
    EXPECT_EQ(Count(), 1);
    // Both gone, the watch takes copies again.
    CopyFromOutside(SJ("その後") + Block(line));
    EXPECT_EQ(Count(), 2);
}

TEST_F(ProgramBuildTest, SendingCopiesTheBlockAndOpensAMailtoLink)
{
    std::optional<UrlCatcher> catcher(std::in_place);
    Start();
    TEventData e;
    e.Date = D(2026, 7, 1);
    e.Subject = SJ("会議 A");
    e.Memo = SJ("持ち物");
    form->Calendar->AddEvent(e);
    form->Calendar->SetCurrentDate(e.Date);
    const PEventData item = form->Calendar->Store().Items(0);
    const std::string sent = e.Memo + "\r\n" + DefinedFieldBlock(form->Calendar->Store(), *item);

    // From the options menu: no recipient.
    ASSERT_EQ(Opened(form->SendTo).size(), 1);
    Opened(form->SendTo).front()->trigger();
    Settle();
    EXPECT_EQ(Clipboard(), sent);
    // The phone book: to the entry's address, or a mail without the item.
    TListWindow* list = form->ListWindow;
    list->AddPhoneLine("\"taro\",1,taro@example.jp");
    for (QTreeWidget* rows : { list->PhoneList, list->SchedList })
        rows->setCurrentItem(rows->topLevelItem(0));
    list->SendSched->trigger();
    list->MakeMail->trigger();
    EXPECT_EQ(catcher->urls,
              QStringList({ u"mailto:?Subject=%E4%BC%9A%E8%AD%B0%20A"_qs,
                            u"mailto:taro@example.jp?Subject=%E4%BC%9A%E8%AD%B0%20A"_qs,
                            u"mailto:taro@example.jp"_qs }));
    Settle();
    EXPECT_EQ(Count(), 1); // the program's own block is not imported

    // Without a mail program to open the link the user is told, and the
    // block waits on the clipboard.
    catcher.reset();
    QApplication::clipboard()->clear();
    DialogScript script;
    script.Press(msgdlg::Ok);
    Opened(form->SendTo).front()->trigger();
    EXPECT_EQ(
        script.messages(),
        std::vector<QString>(
            { u"メールソフトを起動できませんでした。\n予定はクリップボードにコピーしてあります。"_qs }));
    EXPECT_EQ(Clipboard(), sent);
}

#include "schedform_program_test.moc"
