// The program on a virtual X display with a window manager (openbox) and a
// real system tray (trayer): the show/hide hot key puts the window into the
// tray, where its icon appears; a click on the icon brings the window back;
// a schedule block copied by another program (xclip) lands in the schedule
// file. A screenshot with the icon in the tray is kept in the build folder
// (xvfb_tray.png).
//
// The test talks to the X server directly through Xlib, as a user's desktop
// would: it finds windows, presses keys and clicks with XTEST.
#include "core/files.h"
#include "core/sjis.h"

#include "support/xvfb.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Xlib's macros (None, Bool, Status, ...) must not meet the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// Windows come and go while the test looks at them.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// Polls until the condition holds; false when the deadline passes first.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

class Desktop
{
public:
    explicit Desktop(const QString& display)
        : display_(XOpenDisplay(display.toLocal8Bit().constData()))
    {
        XSetErrorHandler(IgnoreXErrors);
    }
    ~Desktop()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool ok() const { return display_ != nullptr; }

    // Every window below the root.
    std::vector<Window> All()
    {
        std::vector<Window> out;
        Collect(DefaultRootWindow(display_), out);
        return out;
    }
    bool Viewable(Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display_, window, &attributes) &&
            attributes.map_state == IsViewable;
    }
    // The first window of that name (WM_NAME); 0 when none.
    Window Named(const char* name)
    {
        for (Window window : All()) {
            char* found = nullptr;
            const bool match =
                XFetchName(display_, window, &found) && found && std::string_view(found) == name;
            if (found)
                XFree(found);
            if (match)
                return window;
        }
        return 0;
    }
    // Icons embedded in the tray: windows on screen inside trayer's panel
    // that carry the XEmbed information.
    std::vector<Window> TrayIcons()
    {
        const Atom xembed = XInternAtom(display_, "_XEMBED_INFO", False);
        std::vector<Window> out;
        std::vector<Window> inside;
        for (Window window : All()) {
            XClassHint hint {};
            if (XGetClassHint(display_, window, &hint)) {
                if (std::string_view(hint.res_name) == "panel")
                    Collect(window, inside);
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        for (Window window : inside) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, window, xembed, 0, 2, False, AnyPropertyType, &type,
                                   &format, &items, &after, &data) == Success &&
                type != 0 && Viewable(window))
                out.push_back(window);
            if (data)
                XFree(data);
        }
        return out;
    }
    bool TrayRunning()
    {
        const Atom tray = XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False);
        return XGetSelectionOwner(display_, tray) != 0;
    }
    QRect OnScreen(Window window)
    {
        XWindowAttributes attributes;
        int x = 0, y = 0;
        Window child = 0;
        if (!XGetWindowAttributes(display_, window, &attributes) ||
            !XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y,
                                   &child))
            return {};
        return QRect(x, y, attributes.width, attributes.height);
    }
    void Type(const std::vector<KeySym>& keys)
    {
        for (KeySym k : keys)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, k), True, CurrentTime);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, *it), False, CurrentTime);
        XSync(display_, False);
    }
    void Click(QPoint at)
    {
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
    }
    QImage Screenshot()
    {
        const Window root = DefaultRootWindow(display_);
        XWindowAttributes attributes;
        XGetWindowAttributes(display_, root, &attributes);
        XImage* shot = XGetImage(display_, root, 0, 0, attributes.width, attributes.height,
                                 AllPlanes, ZPixmap);
        if (!shot)
            return {};
        QImage image(attributes.width, attributes.height, QImage::Format_RGB32);
        for (int y = 0; y < attributes.height; ++y)
            for (int x = 0; x < attributes.width; ++x)
                image.setPixel(x, y, QRgb(XGetPixel(shot, x, y)) | 0xFF000000u);
        XDestroyImage(shot);
        return image;
    }

private:
    void Collect(Window parent, std::vector<Window>& out)
    {
        Window root = 0, up = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, parent, &root, &up, &children, &count))
            return;
        for (unsigned int i = 0; i < count; ++i) {
            out.push_back(children[i]);
            Collect(children[i], out);
        }
        if (children)
            XFree(children);
    }

    Display* display_;
};

// A helper program of the desktop, ended with the test.
class Helper : public QProcess
{
public:
    Helper(const XvfbServer& server, const QString& program, const QStringList& arguments)
    {
        setProcessEnvironment(server.Environment());
        setProcessChannelMode(QProcess::MergedChannels);
        start(program, arguments);
        waitForStarted(10000);
    }
    ~Helper() override
    {
        terminate();
        if (!waitForFinished(10000))
            kill();
        waitForFinished(5000);
    }
};

TEST(ProgramTrayOnX11, HidesIntoARealTrayComesBackOnAClickAndTakesACopiedBlock)
{
    const QString exe = QStringLiteral(KALVERO_BINARY_DIR "/program/Kalvero");
    if (!QFile::exists(exe))
        GTEST_SKIP() << "the program is not built";
    QStringList tools;
    for (const char* name : { "openbox", "trayer", "xclip" })
        tools << QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (tools.contains(QString()))
        GTEST_SKIP() << "openbox, trayer or xclip is not installed (scripts/setup)";
    XvfbServer server(QStringLiteral("800x600x24"));
    if (server.display().isEmpty())
        GTEST_SKIP() << server.problem().toStdString();
    Desktop desktop(server.display());
    ASSERT_TRUE(desktop.ok());

    QTemporaryDir tmp;
    const std::string dir = QFile::encodeName(tmp.path()).toStdString() + "/";
    ASSERT_TRUE(QFile::copy(exe, tmp.path() + u"/Kalvero"_qs));
    // Ctrl+Alt+K shows and hides; copied blocks are registered.
    ASSERT_TRUE(files::WriteAtomic(
        dir + "Kalvero.ini",
        "MAINVIEW=40,60,640,520\r\nINVOKE=49227\r\nAUTOPICKUP=1\r\nTITLE=KalveroTray\r\n"));

    Helper windowManager(server, tools[0], {});
    Helper tray(server, tools[1],
                { u"--edge"_qs, u"top"_qs, u"--align"_qs, u"right"_qs, u"--widthtype"_qs,
                  u"pixel"_qs, u"--width"_qs, u"120"_qs, u"--height"_qs, u"32"_qs });
    ASSERT_TRUE(WaitFor([&] { return desktop.TrayRunning(); })) << tray.readAll().toStdString();
    Helper program(server, tmp.path() + u"/Kalvero"_qs, {});
    Window window = 0;
    ASSERT_TRUE(WaitFor([&] {
        window = desktop.Named("KalveroTray");
        return window && desktop.Viewable(window);
    })) << program.readAll().toStdString();
    EXPECT_TRUE(desktop.TrayIcons().empty());

    // The hot key hides the window in front; a window not yet in front comes
    // forward first, so the key may need a second press.
    bool hidden = false;
    for (int press = 0; press < 3 && !hidden; ++press) {
        desktop.Type({ XK_Control_L, XK_Alt_L, XK_k });
        hidden = WaitFor([&] { return !desktop.Viewable(window); }, 5000);
    }
    ASSERT_TRUE(hidden);
    std::vector<Window> icons;
    ASSERT_TRUE(WaitFor([&] { return !(icons = desktop.TrayIcons()).empty(); }));
    ASSERT_EQ(icons.size(), 1u);
    const QRect icon = desktop.OnScreen(icons.front());
    ASSERT_FALSE(icon.isEmpty());

    // The icon is ours: the red band of the calendar page shows in the tray.
    QImage shot;
    const QRgb band = qRgb(190, 40, 40);
    EXPECT_TRUE(WaitFor([&] {
        shot = desktop.Screenshot();
        for (int y = icon.top(); y <= icon.bottom(); ++y)
            for (int x = icon.left(); x <= icon.right(); ++x)
                if (shot.rect().contains(x, y) && shot.pixel(x, y) == band)
                    return true;
        return false;
    })) << icon.x()
        << "," << icon.y();
    shot.save(QStringLiteral(KALVERO_BINARY_DIR "/xvfb_tray.png"));

    desktop.Click(icon.center());
    EXPECT_TRUE(WaitFor([&] { return desktop.Viewable(window); }));
    EXPECT_TRUE(WaitFor([&] { return desktop.TrayIcons().empty(); }));

    // Another program copies a schedule with the line ends of Linux.
    const std::string subject = SJ("打合せ X");
    QProcess copier;
    copier.setProcessEnvironment(server.Environment());
    copier.start(tools[2], { u"-selection"_qs, u"clipboard"_qs, u"-quiet"_qs });
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

    EXPECT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
}

} // namespace
