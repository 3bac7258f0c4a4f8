// The program's start-up as a whole: a fresh folder, the second start on a
// folder in use, and the running executable itself.
#include "program/startup.h"

#include "app/forms/alermform.h"
#include "app/forms/listwindow.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "gui/msgdlg.h"
#include "gui/qtjapanese.h"
#include "platform/hotkeys.h"
#include "platform/instance.h"
#include "platform/tray.h"
#include "view/wscheduler.h"

#include "app/forms/modal_driver.h"
#include "support/dialog_script.h"
#include "support/testutil.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

QApplication* CreateTestApplication(int& argc, char** argv)
{
    return new gui::TApplication(argc, argv);
}

namespace {

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        dir = QFile::encodeName(tmp.path()).toStdString() + "/";
        previous = hotkeys::SetFactory(
            [](QObject* parent) { return std::make_unique<hotkeys::TFakeHotKeys>(parent); });
    }
    void TearDown() override
    {
        hotkeys::SetFactory(std::move(previous));
        InitParam.LoadFromFile("");
    }
    QStringList Files() const
    {
        return QDir(tmp.path()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir tmp;
    std::string dir;
    hotkeys::Factory previous;
};

int CountLines(const std::string& text)
{
    int n = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
        ++n;
    return n;
}

TEST_F(ProgramTest, FreshFolderRunsAndLeavesOnlyTheSettings)
{
    const bool japanese = gui::TQtJapanese().Installed();
    bool second = true;
    QSize shown;
    QString title, cancel;
    QTimer::singleShot(0, [&] {
        if (!SchedForm)
            return QCoreApplication::quit();
        shown = SchedForm->size();
        title = SchedForm->windowTitle();
        cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        second = gui::TQtJapanese().Installed();
        SchedForm->close();
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(shown, QSize(520, 420));
    EXPECT_EQ(title, u"Miradel-アプリ版"_qs);
    // Qt's own texts, their translation installed once.
    EXPECT_EQ(cancel, japanese ? u"キャンセル"_qs : u"Cancel"_qs);
    EXPECT_FALSE(second);
    EXPECT_EQ(strconst::CurrentBuild(), strconst::Build::Program);
    EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs }));
    std::string ini;
    ASSERT_TRUE(files::ReadAll(dir + "Kalvero.ini", ini));
    EXPECT_EQ(CountLines(ini), 51);
}

TEST_F(ProgramTest, AWindowClosingWhileTheMainWindowRestsInTheTrayDoesNotEndTheProgram)
{
    tray::Factory previousTray = tray::SetFactory(
        [](QObject* parent) { return std::make_unique<tray::TFakeTrayIcon>(parent); });
    bool stillRunning = false, hidden = false;
    QTimer::singleShot(0, [&] {
        SchedForm->HideToTray();
        hidden = !SchedForm->isVisible();
        QLabel other(u"other"_qs);
        other.show();
        other.close();
        // The program goes on well past the closing.
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                stillRunning = true;
                SchedForm->close();
            });
        });
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    tray::SetFactory(std::move(previousTray));
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(stillRunning);
}

TEST_F(ProgramTest, TerminationSignalEndsTheRunInOrder)
{
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs }));
}

TEST_F(ProgramTest, ExecutableUnderAnotherNameHasItsOwnSettingsFile)
{
    QTimer::singleShot(0, [] { SchedForm->close(); });
    EXPECT_EQ(program::Run(dir + "sched"), 0);
    EXPECT_EQ(Files(), QStringList({ u"sched.ini"_qs }));
}

// The running instance, served on a thread of its own as another process
// would serve it.
class RunningInstance : public QThread
{
public:
    explicit RunningInstance(std::string lock) : lock_(std::move(lock)) { }
    std::atomic<int> raised { 0 };
    std::atomic<bool> listening { false };

protected:
    void run() override
    {
        instance::TRaiseServer server;
        listening = server.Listen(lock_);
        QObject::connect(&server, &instance::TRaiseServer::RaiseRequested, [this] { ++raised; });
        exec();
    }

private:
    std::string lock_;
};

TEST_F(ProgramTest, SecondStartBringsTheFirstForwardAndTouchesNothing)
{
    const std::string settings = "TITLE=first\r\n";
    ASSERT_TRUE(files::WriteAtomic(dir + "Kalvero.ini", settings));
    instance::TInstanceLock held(dir + "Kalvero.lock");
    ASSERT_EQ(held.state(), instance::TInstanceLock::State::Acquired);
    RunningInstance first(dir + "Kalvero.lock");
    first.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.listening || first.isFinished(); }, 10000));
    ASSERT_TRUE(first.listening);

    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(first.raised, 1);
    EXPECT_EQ(SchedForm, nullptr);
    first.quit();
    first.wait();

    // Nobody answers any more: the second start says so.
    {
        DialogScript script;
        script.Press(msgdlg::Ok);
        EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
        EXPECT_EQ(script.messages(), std::vector<QString>({ u"Kalveroは既に起動しています。"_qs }));
    }
    std::string after;
    ASSERT_TRUE(files::ReadAll(dir + "Kalvero.ini", after));
    EXPECT_EQ(after, settings);
    EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs, u"Kalvero.lock"_qs }));
}

// A data folder Kalvero may read but not write: the folder as it was, with
// a schedule of one item and a settings file, made read-only for the test.
class ReadOnlyProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        TSchedList store;
        TEventData item;
        item.Date = days::Today();
        item.Subject = SJ("定例");
        store.AddEvent(item, false);
        ASSERT_TRUE(store.SaveToFile(dir + "Kalvero.sch"));
        ASSERT_TRUE(files::WriteAtomic(dir + "Kalvero.ini", "TITLE=ro\r\n"));
        ASSERT_TRUE(files::ReadAll(dir + "Kalvero.sch", schedule));
        readOnly = std::make_unique<ReadOnlyFolder>(dir);
        if (!readOnly->ok())
            GTEST_SKIP() << "no folder can be made read-only here";
    }
    void TearDown() override
    {
        // Nothing was written, nothing was left behind.
        std::string after;
        EXPECT_TRUE(files::ReadAll(dir + "Kalvero.sch", after));
        EXPECT_EQ(after, schedule);
        EXPECT_TRUE(files::ReadAll(dir + "Kalvero.ini", after));
        EXPECT_EQ(after, "TITLE=ro\r\n");
        EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs, u"Kalvero.sch"_qs }));
        readOnly.reset();
        ProgramTest::TearDown();
    }
    std::string Path(const char* name) const { return dir + name; }
    // The warning at start.
    static bool IsStartWarning(const msgdlg::test::Shown& shown)
    {
        return shown.kind == msgdlg::Kind::Warning &&
            shown.text.startsWith(
                u"このフォルダには書き込めないため、変更は保存できません。\r\n"_qs);
    }

    std::string schedule;
    std::unique_ptr<ReadOnlyFolder> readOnly;
};

// What the process writes to standard error while the object exists.
class StderrCapture
{
public:
    StderrCapture() : file_(std::tmpfile())
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture()
    {
        Restore();
        std::fclose(file_);
    }
    std::string Text()
    {
        Restore();
        std::string text;
        std::rewind(file_);
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, file_)) > 0;)
            text.append(buf, n);
        return text;
    }

private:
    void Restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    std::FILE* file_;
    int saved_ = -1;
};

// Said once at start; a change that cannot be saved says so when it is
// made; at the end one message names every file that could not be written.
TEST_F(ReadOnlyProgramTest, WarnsOnceAtStartAndNamesTheUnwrittenFilesOnceAtTheEnd)
{
    DialogScript script;
    script.Press(msgdlg::Ok).Press(msgdlg::Ok).Press(msgdlg::Ok);
    QTimer::singleShot(0, [] {
        TEventData item;
        item.Date = days::Today();
        item.Subject = SJ("追加");
        SchedForm->Calendar->AddEvent(item);
        SchedForm->ListWindow->MemoData->insertPlainText(u"メモ"_qs);
        SchedForm->close();
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    ASSERT_EQ(script.shown().size(), 3u);
    EXPECT_TRUE(IsStartWarning(script.shown()[0])) << script.shown()[0].text.toStdString();
    EXPECT_EQ(script.shown()[1].sjisText().rfind(SJ("スケジュールが書き込めません!"), 0), 0u);
    for (int i : { 0, 1 }) // the reason in Japanese
        EXPECT_TRUE(script.shown()[i].text.endsWith(u"アクセス権がありません"_qs));
    EXPECT_EQ(script.shown()[2].kind, msgdlg::Kind::Error);
    EXPECT_EQ(script.shown()[2].sjisText(),
              SJ("次のファイルに書き込めませんでした。変更は保存されていません。") + "\r\n" +
                  Path("Kalvero.sch") + "\r\n" + Path("Kalvero.mem") + "\r\n" +
                  Path("Kalvero.ini"));
}

// A shutdown started by a signal never waits on a dialog, also when one is
// open as the signal comes: what it would say goes to standard error, and
// the run ends.
TEST_F(ReadOnlyProgramTest, SignalShutdownShowsNoDialogAndEnds)
{
    DialogScript script;
    script.Press(msgdlg::Ok);
    StderrCapture errors;
    QTimer::singleShot(0, [] {
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        SchedForm->NewAction->trigger(); // the entry dialog waits for the user
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_FALSE(msgdlg::Unattended());
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_TRUE(IsStartWarning(script.shown()[0]));
    const std::string said = errors.Text();
    EXPECT_NE(said.find("次のファイルに書き込めませんでした。"), std::string::npos) << said;
    EXPECT_NE(said.find(Path("Kalvero.ini")), std::string::npos) << said;
}

// The folder takes no lock file, yet a second start finds the first one.
TEST_F(ReadOnlyProgramTest, SecondStartBringsTheFirstForward)
{
    instance::TInstanceLock held(dir + "Kalvero.lock");
    ASSERT_EQ(held.state(), instance::TInstanceLock::State::Acquired) << held.Error();
    RunningInstance first(dir + "Kalvero.lock");
    first.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.listening || first.isFinished(); }, 10000));
    ASSERT_TRUE(first.listening);
    // Should a second window open after all, it closes again.
    bool opened = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&opened] {
        if (SchedForm) {
            opened = true;
            SchedForm->close();
        }
    });
    guard.start(0);
    DialogScript script; // a second window would warn about the folder
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_FALSE(opened);
    EXPECT_EQ(first.raised, 1);
    first.quit();
    first.wait();
    held.Release();
}

TEST_F(ProgramTest, ItemDueInTheNextMinuteOpensTheAlarmWindowWithItsTexts)
{
    const days::Day day = days::Encode(2024, 5, 10);
    days::FixedClock clock(days::MomentOf(day, 9 * 60 + 44) + 30);
    TSchedList store;
    TEventData item;
    item.Date = day;
    item.HasTime = true;
    item.StartTime = 9 * 60 + 50;
    item.EndTime = 10 * 60 + 30;
    item.AlarmBefore = 5;
    item.AlarmUnit = 0;
    item.KindBits = 2;
    item.Subject = SJ("設計レビュー");
    item.Place = SJ("第二会議室");
    store.AddEvent(item, false);
    ASSERT_TRUE(store.SaveToFile(dir + "Kalvero.sch"));
    ASSERT_TRUE(files::WriteAtomic(dir + "Kalvero.ini", "DISPTYPE=6\r\n"));

    QStringList texts;
    ModalDriver driver;
    driver.Then<TAlermForm>([&](TAlermForm* alarm) {
        texts << alarm->windowTitle() << alarm->Label1->text() << alarm->Label2->text()
              << alarm->Label3->text();
        alarm->Button1->click();
    });
    // One expiry of the window's one-second timer, as the event loop
    // delivers it; the alarm windows it opens run their own loops meanwhile.
    auto tick = [] {
        QTimerEvent expiry(SchedForm->AlermTimer1->timerId());
        QCoreApplication::sendEvent(SchedForm->AlermTimer1, &expiry);
    };
    QTimer::singleShot(0, [&] {
        // The minute comes: the tick rings, once.
        clock.Set(days::MomentOf(day, 9 * 60 + 45));
        tick();
        tick();
        // A minute on nothing more is due; then the program ends.
        clock.Advance(60);
        tick();
        SchedForm->close();
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_EQ(texts,
              QStringList({ u"■予定のお知らせです！"_qs, u"【件名】 設計レビュー"_qs,
                            u"【日時】 5/10  09:50～10:30"_qs, u"【場所】 第二会議室"_qs }));
}

} // namespace
