// The program's start-up as a whole: a fresh folder, the second start on a
// folder in use, and the running executable itself.
#include "program/startup.h"

#include "app/forms/alermform.h"
#include "app/forms/schedform.h"
#include "app/forms/variant.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/application.h"
#include "platform/hotkeys.h"
#include "platform/instance.h"

#include "support/dialog_script.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>

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
    QSize shown;
    QString title;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(SchedForm, nullptr);
        shown = SchedForm->size();
        title = SchedForm->windowTitle();
        SchedForm->close();
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(shown, QSize(520, 420));
    EXPECT_EQ(title, u"Miradel-アプリ版"_qs);
    EXPECT_EQ(strconst::CurrentBuild(), strconst::Build::Program);
    EXPECT_EQ(Files(), QStringList({ u"Kalvero.ini"_qs }));
    std::string ini;
    ASSERT_TRUE(files::ReadAll(dir + "Kalvero.ini", ini));
    EXPECT_EQ(CountLines(ini), 51);
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
    while (!first.listening && first.isRunning())
        QThread::msleep(10);
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
    int windows = 0;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* alarm = qobject_cast<TAlermForm*>(QApplication::activeModalWidget())) {
            ++windows;
            texts << alarm->windowTitle() << alarm->Label1->text() << alarm->Label2->text()
                  << alarm->Label3->text();
            alarm->Button1->click();
            // One minute on: nothing more is due; then the program ends.
            clock.Advance(60);
            QTimer::singleShot(1500, [] { SchedForm->close(); });
        }
    });
    QTimer::singleShot(0, [&] {
        // The minute comes: the next tick of the running clock rings.
        clock.Set(days::MomentOf(day, 9 * 60 + 45));
        watcher.start();
    });
    EXPECT_EQ(program::Run(dir + "Kalvero"), 0);
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(texts,
              QStringList({ u"■予定のお知らせです！"_qs, u"【件名】 設計レビュー"_qs,
                            u"【日時】 5/10  09:50～10:30"_qs, u"【場所】 第二会議室"_qs }));
}

} // namespace
