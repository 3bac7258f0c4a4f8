// The real executable on a real (virtual) X display under a real window
// manager (openbox): it starts from a data folder beside it with the shipped
// holidays and a schedule and shows its window at the default size; the
// entry dialog opens as a fixed dialog 64 pixels right of and below the
// main window every time; the alarm window and message boxes get no
// minimise or maximise button; an item is entered by keys alone (Tab
// reaches the alarm amount, Up moves the start); the menu key and Shift+F10
// open the calendar's menu at the selected day. Screenshots are kept in the
// build folder (xvfb_main_window.png, xvfb_entry_dialog.png, xvfb_entry_keys.png
// with the focus in the alarm amount, xvfb_alarm_window.png) for a person to
// look at.
//
// The checks run in a child process of this test program on the X display
// (the test programs themselves run offscreen); the alarm window and the
// message box are that child's own windows.
#include "app/forms/alermform.h"
#include "app/settings/initparam.h"
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"
#include "gui/msgdlg.h"

#include "support/xvfb.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

// Last: Xlib's macros must not meet the headers above.
#include "support/x11probe.h"

namespace {

constexpr char kChildVariable[] = "KALVERO_X11_CHILD";
const QString kMainTitle = u"Miradel-アプリ版"_qs;
const QString kEntryTitle = u"新規スケジュール"_qs;

QString Artefact(const char* name)
{
    return QStringLiteral(KALVERO_BINARY_DIR "/") + QLatin1String(name);
}

using ProgramOnX11 = ProgramOnDisplayTest<kChildVariable>;

TEST_F(ProgramOnX11, RunsUnderAWindowManagerWithItsFramesAndLeavesScreenshots)
{
    ProgramOnDisplay& run = Run();
    const std::string dir = run.kalvero.dir();
    TSchedList store;
    const days::Day today = days::Today();
    for (int i = 0; i < 6; ++i) {
        TEventData item;
        item.Date = today - 10 + 4 * i;
        item.HasTime = i % 2 == 0;
        item.StartTime = 10 * 60 + i * 30;
        item.EndTime = item.StartTime + 60;
        item.Subject = SJ("打合せ ") + std::to_string(i + 1);
        store.AddEvent(item, false);
    }
    ASSERT_TRUE(store.SaveToFile(dir + "Kalvero.sch"));
    // No settings file: the window comes up at its default size.

    ASSERT_TRUE(run.kalvero.Start(run.display.server()));
    QProcess& program = run.kalvero.process;

    for (const char* child : { "ProgramOnX11Child.MainWindow*", "ProgramOnX11Child.Alarm*" }) {
        const ChildTest checks = RunChildTest(run.display.server(), kChildVariable,
                                              QStringLiteral("1"), QLatin1String(child));
        EXPECT_TRUE(checks.Passed()) << checks.output.toStdString() << "\nThe program said:\n"
                                     << program.readAll().toStdString();
    }

    EXPECT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
    program.terminate();
    program.waitForFinished(10000);
    std::string sch;
    ASSERT_TRUE(files::ReadAll(dir + "Kalvero.sch", sch));
    EXPECT_NE(sch.find(",00:05,00:20,\"Keys\""), std::string::npos) << sch;
    EXPECT_NE(sch.find(",7@", sch.find("\"Keys\"")), std::string::npos) << sch;
}

// The window manager has framed the window and its picture has settled:
// two grabs in a row alike, more than one colour in them. last keeps the
// latest grab of the frame.
bool Settled(const XUser& user, Window window, QImage& last)
{
    const QRect frame = user.Frame(window);
    if (frame.isEmpty())
        return false;
    const QImage now = ScreenImage(frame);
    const bool settled =
        now == last && now.pixel(0, 0) != now.pixel(now.width() / 2, now.height() / 2);
    last = now;
    return settled;
}

// A fixed dialog as the window manager sees it: the window asks for no
// minimise or maximise button and function, and the window manager allows
// neither resizing nor maximising it. (openbox still draws its minimise and
// maximise buttons on every framed window that is no menu or tool bar; the
// maximise button does nothing on a fixed window.)
void ExpectFixedDialogFrame(const XUser& user, Window window)
{
    const std::vector<long> motif = user.MotifHints(window);
    ASSERT_GE(motif.size(), 3u);
    constexpr long kFunctionsGiven = 1, kDecorationsGiven = 2;
    constexpr long kAll = 1, kMinimize = 8, kMaximize = 16; // functions
    constexpr long kAllDecorations = 1, kMinimizeButton = 32, kMaximizeButton = 64;
    ASSERT_TRUE(motif[0] & kFunctionsGiven);
    EXPECT_EQ(motif[1] & (kAll | kMinimize | kMaximize), 0) << std::hex << motif[1];
    if (motif[0] & kDecorationsGiven) {
        EXPECT_EQ(motif[2] & (kAllDecorations | kMinimizeButton | kMaximizeButton), 0)
            << std::hex << motif[2];
    }
    const QStringList actions = user.Atoms(window, "_NET_WM_ALLOWED_ACTIONS");
    ASSERT_FALSE(actions.isEmpty());
    for (const char* action : { "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                                "_NET_WM_ACTION_RESIZE" })
        EXPECT_FALSE(actions.contains(QLatin1String(action))) << action;
    EXPECT_TRUE(actions.contains(u"_NET_WM_ACTION_MOVE"_qs));
}

TEST(ProgramOnX11Child, MainWindowAndEntryDialogAsTheWindowManagerShowsThem)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "runs inside the program test";
    XUser user;
    ASSERT_TRUE(user.ok());

    std::optional<Window> mainWindow;
    QImage shot;
    ASSERT_TRUE(WaitFor(
        [&] {
            mainWindow = user.Find(kMainTitle);
            return mainWindow && Settled(user, *mainWindow, shot);
        },
        60000))
        << "the main window did not come up";
    EXPECT_EQ(user.Rect(*mainWindow).size(), QSize(520, 420));
    EXPECT_TRUE(
        user.Atoms(*mainWindow, "_NET_WM_WINDOW_TYPE").contains(u"_NET_WM_WINDOW_TYPE_NORMAL"_qs));
    EXPECT_TRUE(shot.save(Artefact("xvfb_main_window.png")));

    // Twice, the main window moved in between: the dialog's frame stands
    // 64 pixels right of and below the main window's each time, whatever
    // place the window manager would have chosen.
    QPoint day;
    for (const QPoint moveTo : { QPoint(), QPoint(150, 90) }) {
        SCOPED_TRACE(moveTo.x());
        if (!moveTo.isNull()) {
            user.Move(*mainWindow, moveTo);
            ASSERT_TRUE(WaitFor([&] { return user.Frame(*mainWindow).topLeft() == moveTo; }));
        }
        // A double click on a day of the calendar, right of the list window.
        const QRect client = user.Rect(*mainWindow);
        day = client.topLeft() + QPoint(client.width() - 50, client.height() / 2 - 40);
        user.Click(day, 1, 2);
        std::optional<Window> entry;
        ASSERT_TRUE(WaitFor([&] {
            entry = user.Find(kEntryTitle);
            return entry && Settled(user, *entry, shot);
        })) << "the entry dialog did not open";
        EXPECT_EQ(user.Frame(*entry).topLeft(), user.Frame(*mainWindow).topLeft() + QPoint(64, 64));
        ExpectFixedDialogFrame(user, *entry);
        if (moveTo.isNull()) {
            EXPECT_TRUE(shot.save(Artefact("xvfb_entry_dialog.png")));
        }
        // Escape reaches the dialog once the window manager has given it
        // the focus; the second time an item is entered: from the subject
        // to "時間指定無し" (Space gives a time), its start's up-down, on to
        // the alarm amount, OK.
        ASSERT_TRUE(WaitFor([&] { return user.HasFocus(*entry); })) << "the dialog has no focus";
        if (moveTo.isNull()) {
            user.Chord({ XK_Escape });
        } else {
            const QImage opened = shot;
            user.Type("Keys");
            for (KeySym key : { XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_space, XK_Tab,
                                XK_Up, XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_Tab, XK_7 })
                user.Chord({ key });
            ASSERT_TRUE(WaitFor([&] { return Settled(user, *entry, shot) && shot != opened; }));
            EXPECT_TRUE(shot.save(Artefact("xvfb_entry_keys.png")));
            user.Chord({ XK_Return });
        }
        ASSERT_TRUE(WaitFor([&] { return !user.Find(kEntryTitle); }));
    }
    // Both keys open the menu with its corner in the middle of that day.
    for (const std::vector<KeySym>& keys :
         { std::vector<KeySym> { XK_Menu }, { XK_Shift_L, XK_F10 } }) {
        user.Chord(keys);
        std::optional<Window> menu;
        ASSERT_TRUE(WaitFor([&] { return bool(menu = user.OpenMenu()); })) << keys.size();
        EXPECT_LT((user.Rect(*menu).topLeft() - day).manhattanLength(), 50) << keys.size();
        user.Chord({ XK_Escape });
        ASSERT_TRUE(WaitFor([&] { return !user.OpenMenu(); }));
    }
}

TEST(ProgramOnX11Child, AlarmWindowIsAToolWindowAndMessageBoxesAreFixed)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "runs inside the program test";
    XUser user;
    ASSERT_TRUE(user.ok());
    InitParam.LoadFromFile("");
    QImage shot;

    // The alarm window of an item, answered once it has been looked at.
    TEventData item;
    item.Subject = SJ("設計レビュー");
    item.Place = SJ("第二会議室");
    days::FixedClock clock(days::MomentOf(days::Encode(2025, 3, 14), 9 * 60));
    item.Date = item.NextDate = days::Encode(2025, 3, 15);
    item.HasTime = true;
    item.StartTime = 10 * 60;
    item.EndTime = 11 * 60;
    item.AlarmBefore = 1;
    item.AlarmUnit = 2;
    item.Memo = SJ("資料を持参");
    TAlermForm alarm;
    bool looked = false;
    QTimer::singleShot(0, &alarm, [&] {
        const Window alarmWindow = Window(alarm.winId());
        looked = WaitFor([&] { return Settled(user, alarmWindow, shot); });
        EXPECT_TRUE(user.Atoms(alarmWindow, "_NET_WM_WINDOW_TYPE")
                        .contains(u"_NET_WM_WINDOW_TYPE_UTILITY"_qs));
        ExpectFixedDialogFrame(user, alarmWindow);
        EXPECT_TRUE(shot.save(Artefact("xvfb_alarm_window.png")));
        alarm.accept(); // (Xlib names its first mouse button Button1)
    });
    alarm.ShowAlarm(std::string(), &item, nullptr);
    EXPECT_TRUE(looked) << "the alarm window did not come up";

    auto box = msgdlg::test::MakeMessageBox(msgdlg::Kind::Confirmation, u"よろしいですか？"_qs,
                                            msgdlg::Yes | msgdlg::No);
    box->show();
    const Window boxWindow = Window(box->winId());
    ASSERT_TRUE(WaitFor([&] { return Settled(user, boxWindow, shot); }));
    ExpectFixedDialogFrame(user, boxWindow);
    box->hide();
}

} // namespace
