// The program on a virtual X display with a window manager and a real system
// tray (trayer): the show/hide hot key puts the window into the tray, where
// its own icon appears; a click on the icon brings the window back; a
// schedule block copied by another program (xclip) lands in the schedule
// file. A screenshot of the icon in the tray is kept in the build folder
// (xvfb_tray.png).
//
// The parent test sets up the desktop and runs the program; a child run of
// this test program on the display is the user.
#include "core/files.h"
#include "core/sjis.h"

#include "support/xvfb.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

// After all other headers.
#include "support/x11probe.h"
#include <X11/Xutil.h>

namespace {

constexpr char kChildVariable[] = "KALVERO_TRAY_CHILD";

using ProgramTrayOnX11 = ProgramOnDisplayTest<kChildVariable>;

TEST_F(ProgramTrayOnX11, HidesIntoARealTrayComesBackOnAClickAndTakesACopiedBlock)
{
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (trayer.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
        GTEST_SKIP() << "trayer or xclip is not installed (scripts/setup)";
    ProgramOnDisplay& run = Run();
    const XvfbServer& server = run.display.server();
    const std::string dir = run.kalvero.dir();
    // Ctrl+Alt+K shows and hides; copied blocks are registered.
    ASSERT_TRUE(files::WriteAtomic(
        dir + "Kalvero.ini",
        "MAINVIEW=40,60,640,520\r\nINVOKE=49227\r\nAUTOPICKUP=1\r\nTITLE=KalveroTray\r\n"));
    QProcess tray;
    tray.setProcessEnvironment(server.Environment());
    tray.start(trayer,
               { u"--edge"_qs, u"top"_qs, u"--align"_qs, u"right"_qs, u"--widthtype"_qs,
                 u"pixel"_qs, u"--width"_qs, u"120"_qs, u"--height"_qs, u"32"_qs });
    ASSERT_TRUE(tray.waitForStarted(10000));
    ASSERT_TRUE(run.kalvero.Start(server));
    QProcess& program = run.kalvero.process;

    const ChildTest child = RunChildTest(server, kChildVariable, QFile::decodeName(dir.c_str()),
                                         QStringLiteral("ProgramTrayOnX11Child.*"));
    EXPECT_TRUE(child.Passed()) << child.output.toStdString() << "\nThe program said:\n"
                                << program.readAll().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    for (QProcess* ours : { &program, &tray }) {
        ours->terminate();
        ours->waitForFinished(10000);
    }
}

// --- The child: the user at the X display.

// The icons embedded in trayer's panel: windows on the screen inside it that
// carry the XEmbed information.
std::vector<Window> TrayIcons(const XUser& user)
{
    Display* display = user.display();
    const ::Atom xembed = XInternAtom(display, "_XEMBED_INFO", False);
    std::vector<Window> icons;
    std::function<void(Window, bool)> walk = [&](Window parent, bool inPanel) {
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, parent, &root, &up, &children, &count))
            return;
        for (unsigned int i = 0; i < count; ++i) {
            const Window window = children[i];
            bool panel = inPanel;
            XClassHint hint {};
            if (XGetClassHint(display, window, &hint)) {
                panel = panel || (hint.res_name && std::string_view(hint.res_name) == "panel");
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            ::Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (inPanel &&
                XGetWindowProperty(display, window, xembed, 0, 2, False, AnyPropertyType, &type,
                                   &format, &items, &after, &data) == Success &&
                type != 0 && user.Viewable(window))
                icons.push_back(window);
            if (data)
                XFree(data);
            walk(window, panel);
        }
        if (children)
            XFree(children);
    };
    walk(DefaultRootWindow(display), false);
    return icons;
}

// Windows come and go while the user looks at them.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

TEST(ProgramTrayOnX11Child, HidesShowsAndCopies)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "runs inside the program test";
    const std::string dir = QFile::encodeName(qEnvironmentVariable(kChildVariable)).toStdString();
    XUser user;
    ASSERT_TRUE(user.ok());
    XSetErrorHandler(IgnoreXErrors);

    const ::Atom trayOwner = XInternAtom(user.display(), "_NET_SYSTEM_TRAY_S0", False);
    ASSERT_TRUE(WaitFor([&] { return XGetSelectionOwner(user.display(), trayOwner) != 0; }))
        << "trayer did not come up";
    std::optional<Window> window;
    ASSERT_TRUE(WaitFor(
        [&] {
            return (window = user.Find(u"KalveroTray"_qs)) && user.Viewable(*window) &&
                !user.Frame(*window).isEmpty();
        },
        60000))
        << "the main window never showed";
    EXPECT_TRUE(TrayIcons(user).empty());
    const QRect shown = user.Rect(*window);
    // A desktop background, which shows where the window was once it is gone.
    const QRgb desk = qRgb(0x40, 0x60, 0x80);
    XSetWindowBackground(user.display(), DefaultRootWindow(user.display()), desk & 0xFFFFFF);
    XClearWindow(user.display(), DefaultRootWindow(user.display()));
    XSync(user.display(), False);

    // The hot key hides the window in front (a window not in front comes
    // forward instead), so the user first puts it in front if the window
    // manager has not: a click on its title bar.
    if (!user.HasFocus(*window)) {
        const QRect frame = user.Frame(*window);
        user.Click(QPoint(frame.center().x(), (frame.top() + shown.top()) / 2));
    }
    ASSERT_TRUE(WaitFor([&] { return user.HasFocus(*window); }))
        << "the window never had the focus";
    user.Chord({ XK_Control_L, XK_Alt_L, XK_k });
    ASSERT_TRUE(WaitFor([&] { return !user.Viewable(*window); })) << "the hot key did not hide it";
    std::vector<Window> icons;
    ASSERT_TRUE(WaitFor([&] { return !(icons = TrayIcons(user)).empty(); }));
    ASSERT_EQ(icons.size(), 1u);
    const QRect icon = user.Rect(icons.front());
    ASSERT_FALSE(icon.isEmpty());

    // The window is off the screen, and the icon in the tray is ours: the
    // red band of the calendar page.
    QImage shot;
    const QRgb band = qRgb(190, 40, 40);
    EXPECT_TRUE(WaitFor([&] {
        shot = ScreenImage();
        if (shot.pixel(shown.center()) != desk)
            return false;
        const QRect inside = icon.intersected(shot.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (shot.pixel(x, y) == band)
                    return true;
        return false;
    })) << icon.x()
        << "," << icon.y();
    shot.save(QStringLiteral(KALVERO_BINARY_DIR "/xvfb_tray.png"));

    user.Click(icon.center());
    EXPECT_TRUE(WaitFor([&] { return user.Viewable(*window); }));
    EXPECT_TRUE(WaitFor([&] { return TrayIcons(user).empty(); }));

    // Another program copies a schedule with the line ends of Linux.
    QProcess copier;
    copier.start(QStandardPaths::findExecutable(QStringLiteral("xclip")),
                 { u"-selection"_qs, u"clipboard"_qs, u"-quiet"_qs });
    ASSERT_TRUE(copier.waitForStarted(10000));
    copier.write(
        u"打合せ X\n資料持参\n--Kalvero->>>!\n2026/05/12,13:00,14:00,\"本社\",\"\",10@分前\n"
        "!<<<--Kalvero-\n"_qs.toUtf8());
    ASSERT_TRUE(copier.waitForBytesWritten(10000));
    copier.closeWriteChannel();
    std::string schedule;
    EXPECT_TRUE(WaitFor([&] {
        return files::ReadAll(dir + "Kalvero.sch", schedule) &&
            sjis::Contains(schedule, SJ("\"打合せ X\""));
    })) << schedule;
    EXPECT_TRUE(sjis::Contains(schedule, SJ("2026/05/12,13:00,14:00,")));
    copier.terminate();
    copier.waitForFinished(5000);
}

} // namespace
