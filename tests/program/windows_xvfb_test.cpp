// The program's windows under openbox: the main window's frame after the
// read-only warning; the floating tool windows after restarts (screenshots
// xvfb_floating_list.png, xvfb_floating_memo.png); the size hot key while
// the window is hidden.
#include "core/files.h"

#include "support/testutil.h"
#include "support/xvfb.h"

#include <gtest/gtest.h>

// Last: Xlib's macros must not meet the headers above.
#include "support/x11probe.h"

namespace {

constexpr char kChildVariable[] = "KALVERO_WINDOWS_CHILD";
const std::string kDocks = "LISTVIEW=0,1,0,600,60,300,260\r\nMEMOVIEW=0,1,0,600,400,300,200\r\n";

using WindowsOnX11 = ProgramOnDisplayTest<kChildVariable>;

// Runs the program while the child of that name plays the user.
void RunWithChild(ProgramOnDisplay& run, const QString& child)
{
    ASSERT_TRUE(run.kalvero.Start(run.display.server()));
    const ChildTest user = RunChildTest(run.display.server(), kChildVariable, child,
                                        QStringLiteral("WindowsOnX11Child.") + child);
    EXPECT_TRUE(user.Passed()) << user.output.toStdString();
    run.kalvero.process.terminate();
    EXPECT_TRUE(run.kalvero.process.waitForFinished(60000));
}

TEST_F(WindowsOnX11, MainWindowFrameIsOnTheScreenAfterTheReadOnlyWarning)
{
    ASSERT_TRUE(files::WriteAtomic(Run().kalvero.dir() + "Kalvero.ini", "TITLE=ro\r\n"));
    ReadOnlyFolder readOnly(Run().kalvero.dir());
    if (!readOnly.ok())
        GTEST_SKIP() << "no folder can be made read-only here";
    RunWithChild(Run(), u"AfterWarning"_qs);
}

TEST_F(WindowsOnX11, FloatingToolWindowsComeBackFramedAtTheirPlacesAfterRestarts)
{
    const std::string ini = Run().kalvero.dir() + "Kalvero.ini";
    ASSERT_TRUE(files::WriteAtomic(
        ini, "TITLE=fl\r\nMAINVIEW=20,40,540,460\r\nINVOKE=49227\r\nRESIZE=49229\r\n" + kDocks));
    for (const QString& child : { u"HotKeyWhileHidden"_qs, u"Floating"_qs }) {
        RunWithChild(Run(), child);
        EXPECT_NE(ReadFile(ini).find(kDocks), std::string::npos) << ReadFile(ini);
    }
}

bool InChild(const QString& name)
{
    return qEnvironmentVariable(kChildVariable) == name;
}

TEST(WindowsOnX11Child, AfterWarning)
{
    if (!InChild(u"AfterWarning"_qs))
        GTEST_SKIP() << "runs inside the program test";
    XUser user;
    std::optional<Window> window;
    ASSERT_TRUE(
        WaitFor([&] { return (window = user.Find(u"警告"_qs)) && user.HasFocus(*window); }));
    user.Chord({ XK_Return });
    EXPECT_TRUE(WaitFor([&] {
        return (window = user.Find(u"ro"_qs)) &&
            user.Frame(*window).top() < user.Rect(*window).top() &&
            QRect(0, 0, 1024, 768).contains(user.Frame(*window));
    }));
}

// Framed with a title bar, sizable, the inside where the settings say (the
// list window is held at its smallest height, which may be more).
void ExpectFloatingWindows(const XUser& user)
{
    for (const auto& [title, inside, shot] :
         { std::tuple(u"リストビュー"_qs, QRect(600, 60, 300, 260), "xvfb_floating_list.png"),
           std::tuple(u"Kalvero"_qs, QRect(600, 400, 300, 200), "xvfb_floating_memo.png") }) {
        std::optional<Window> window;
        // The program moves a window again once openbox has framed it: wait
        // for that before reading the place.
        ASSERT_TRUE(WaitFor([&] {
            return (window = user.Find(title)) && user.Viewable(*window) &&
                user.Frame(*window).top() < user.Rect(*window).top() &&
                user.Rect(*window).topLeft() == inside.topLeft();
        })) << shot;
        const QRect shown = user.Rect(*window);
        EXPECT_EQ(QRect(shown.topLeft(), QSize(shown.width(), inside.height())), inside) << shot;
        EXPECT_GE(shown.height(), inside.height()) << shot;
        EXPECT_TRUE(
            user.Atoms(*window, "_NET_WM_ALLOWED_ACTIONS").contains(u"_NET_WM_ACTION_RESIZE"_qs));
        EXPECT_TRUE(ScreenImage(user.Frame(*window))
                        .save(QStringLiteral(KALVERO_BINARY_DIR "/") + QLatin1String(shot)));
    }
}

TEST(WindowsOnX11Child, Floating)
{
    if (!InChild(u"Floating"_qs))
        GTEST_SKIP() << "runs inside the program test";
    ExpectFloatingWindows(XUser());
}

// Hidden by the show/hide hot key (minimised: there is no tray), the size
// hot key opens the settings dialog instead of maximising the window.
TEST(WindowsOnX11Child, HotKeyWhileHidden)
{
    if (!InChild(u"HotKeyWhileHidden"_qs))
        GTEST_SKIP() << "runs inside the program test";
    XUser user;
    ExpectFloatingWindows(user);
    const std::optional<Window> main = user.Find(u"fl"_qs);
    ASSERT_TRUE(main);
    user.Click(QPoint(user.Frame(*main).center().x(), user.Frame(*main).top() + 8));
    ASSERT_TRUE(WaitFor([&] { return user.HasFocus(*main); }));
    user.Chord({ XK_Control_L, XK_Alt_L, XK_k });
    ASSERT_TRUE(WaitFor([&] { return !user.Viewable(*main); }));
    user.Chord({ XK_Control_L, XK_Alt_L, XK_m });
    std::optional<Window> setup;
    ASSERT_TRUE(
        WaitFor([&] { return (setup = user.Find(u"Miradelの設定"_qs)) && user.HasFocus(*setup); }));
    EXPECT_FALSE(user.Atoms(*main, "_NET_WM_STATE").contains(u"_NET_WM_STATE_MAXIMIZED_VERT"_qs));
    user.Chord({ XK_Escape });
    EXPECT_TRUE(WaitFor([&] { return !user.Find(u"Miradelの設定"_qs); }));
}

} // namespace
