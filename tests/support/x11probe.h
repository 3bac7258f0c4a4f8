#pragma once

// The user at an X display with a window manager (XvfbServer and
// WindowManager of xvfb.h), for a child test process on that display: the
// windows as the window manager sees them (managed clients, titles, types,
// the actions it allows, frames on the screen) and real clicks and key
// presses through XTEST.
//
// Include this header after all others: Xlib's macros (None, Bool, Status,
// KeyPress, ...) must not meet them.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// Waits for a condition, running this program's events meanwhile (its own
// windows paint and answer the window manager); false when the deadline
// passed. The deadline bounds a failure: a sanitizer build on a loaded
// machine is slow.
inline bool WaitFor(const std::function<bool()>& condition, int ms = 60000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
    return true;
}

// The screen's pixels, inside area when one is given, as 32-bit RGB.
inline QImage ScreenImage(const QRect& area = QRect())
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = area.isNull()
        ? screen->grabWindow(0)
        : screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

class XUser
{
public:
    XUser() : display_(XOpenDisplay(nullptr)) { }
    ~XUser()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    XUser(const XUser&) = delete;
    XUser& operator=(const XUser&) = delete;
    bool ok() const { return display_ != nullptr; }
    // The connection, for what a test does with it directly.
    Display* display() const { return display_; }

    // The newest window the window manager manages with the title.
    std::optional<Window> Find(const QString& title) const
    {
        const std::vector<Window> clients = Clients();
        for (auto it = clients.rbegin(); it != clients.rend(); ++it)
            if (Title(*it) == title)
                return *it;
        return std::nullopt;
    }
    QString Title(Window w) const
    {
        const std::string name = Property(w, "_NET_WM_NAME", Intern("UTF8_STRING"));
        return QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    // Mapped and on the screen (a hidden or withdrawn window is not).
    bool Viewable(Window w) const
    {
        XWindowAttributes attributes {};
        return XGetWindowAttributes(display_, w, &attributes) && attributes.map_state == IsViewable;
    }
    // The keyboard's input goes to the window (or to one inside it): the
    // window manager has given it the focus.
    bool HasFocus(Window w) const
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        while (focus != 0 && focus != PointerRoot) {
            if (focus == w)
                return true;
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display_, focus, &root, &parent, &children, &count))
                return false;
            if (children)
                XFree(children);
            if (focus == root)
                return false;
            focus = parent;
        }
        return false;
    }
    // An open popup menu: a program's window that lies on the screen past
    // the window manager (override-redirect), but no tool tip.
    std::optional<Window> OpenMenu() const
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return std::nullopt;
        std::optional<Window> menu;
        for (unsigned int i = 0; i < count && !menu; ++i) {
            XWindowAttributes attributes {};
            if (!XGetWindowAttributes(display_, children[i], &attributes) ||
                !attributes.override_redirect || attributes.map_state != IsViewable)
                continue;
            const QStringList types = Atoms(children[i], "_NET_WM_WINDOW_TYPE");
            if (!types.isEmpty() && !types.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_TOOLTIP")))
                menu = children[i];
        }
        if (children)
            XFree(children);
        return menu;
    }
    // The window's inside, in screen coordinates.
    QRect Rect(Window w) const
    {
        XWindowAttributes attributes {};
        XGetWindowAttributes(display_, w, &attributes);
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return QRect(x, y, attributes.width, attributes.height);
    }
    // The window with the window manager's frame around it; empty until the
    // window manager has framed it.
    QRect Frame(Window w) const
    {
        const std::vector<long> e = Longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (e.size() != 4)
            return {};
        return Rect(w).adjusted(int(-e[0]), int(-e[2]), int(e[1]), int(e[3]));
    }
    // The names in an atom-list property: _NET_WM_WINDOW_TYPE, and the
    // window manager's _NET_WM_ALLOWED_ACTIONS.
    QStringList Atoms(Window w, const char* property) const
    {
        QStringList names;
        for (long atom : Longs(w, property, XA_ATOM)) {
            if (char* name = XGetAtomName(display_, ::Atom(atom))) {
                names << QString::fromLatin1(name);
                XFree(name);
            }
        }
        return names;
    }
    // The window's own frame wishes (_MOTIF_WM_HINTS: flags, functions,
    // decorations, ...); empty when it has none.
    std::vector<long> MotifHints(Window w) const
    {
        return Longs(w, "_MOTIF_WM_HINTS", Intern("_MOTIF_WM_HINTS"));
    }
    // Asks the window manager to move the window's frame.
    void Move(Window w, const QPoint& frameTopLeft)
    {
        XMoveWindow(display_, w, frameTopLeft.x(), frameTopLeft.y());
        XSync(display_, False);
    }

    void Click(const QPoint& at, unsigned button = 1, int times = 1)
    {
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        for (int i = 0; i < times; ++i) {
            XTestFakeButtonEvent(display_, button, True, CurrentTime);
            XTestFakeButtonEvent(display_, button, False, CurrentTime);
        }
        XSync(display_, False);
    }
    // Presses the keys together (in order) and lets them go.
    void Chord(const std::vector<KeySym>& keys)
    {
        for (KeySym k : keys)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, k), True, CurrentTime);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, *it), False, CurrentTime);
        XSync(display_, False);
    }
    // Letters, digits and blanks.
    void Type(const std::string& text)
    {
        for (char c : text) {
            if (c >= 'A' && c <= 'Z')
                Chord({ XK_Shift_L, KeySym(XK_a + (c - 'A')) });
            else
                Chord({ c == ' ' ? KeySym(XK_space) : KeySym(c) });
        }
    }

private:
    ::Atom Intern(const char* name) const { return XInternAtom(display_, name, False); }
    std::string Property(Window w, const char* name, ::Atom type) const
    {
        ::Atom actual = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::string out;
        if (XGetWindowProperty(display_, w, Intern(name), 0, 1024, False, type, &actual, &format,
                               &count, &after, &data) == Success &&
            data) {
            if (format == 8)
                out.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
        return out;
    }
    // A property of 32-bit items (Xlib hands them over as longs).
    std::vector<long> Longs(Window w, const char* name, ::Atom type) const
    {
        ::Atom actual = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<long> out;
        if (XGetWindowProperty(display_, w, Intern(name), 0, 1024, False, type, &actual, &format,
                               &count, &after, &data) == Success &&
            data) {
            if (format == 32) {
                const auto* items = reinterpret_cast<const long*>(data);
                out.assign(items, items + count);
            }
            XFree(data);
        }
        return out;
    }
    std::vector<Window> Clients() const
    {
        std::vector<Window> out;
        for (long w : Longs(DefaultRootWindow(display_), "_NET_CLIENT_LIST", XA_WINDOW))
            out.push_back(Window(w));
        return out;
    }

    Display* display_;
};
