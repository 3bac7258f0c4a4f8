#pragma once

// A window of a test program shown on a real X display under a real window
// manager (Xvfb and openbox) and grabbed with its frame into a PNG for a
// person to look at. The test programs themselves run offscreen, so the
// parent test starts the server, the window manager and a child run of the
// same test program (one test of it, by filter) that shows the window:
//
//     TEST(FooOnX11, LeavesAScreenshot)
//     {
//         wmshot::RunChild("FooOnX11Child.*", KALVERO_BINARY_DIR "/foo.png");
//     }
//     TEST(FooOnX11Child, Shows)
//     {
//         if (!wmshot::InChild())
//             GTEST_SKIP();
//         ... show the window ...; EXPECT_TRUE(wmshot::GrabFramed(window));
//     }

#include "support/xvfb.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

#include <gtest/gtest.h>

namespace wmshot {

constexpr const char* kShotVariable = "KALVERO_WINDOW_SHOT";

inline bool InChild()
{
    return qEnvironmentVariableIsSet(kShotVariable);
}

// Runs the child's tests on a display of their own under openbox; they save
// their picture to shotFile. Skips when Xvfb or openbox is missing.
inline void RunChild(const char* childFilter, const QString& shotFile)
{
    if (InChild())
        GTEST_SKIP() << "inside the child";
    ManagedDisplay display;
    if (!display.Missing().isEmpty())
        GTEST_SKIP() << display.Missing().toStdString();
    ASSERT_TRUE(display.Problem().isEmpty()) << display.Problem().toStdString();
    const ChildTest child =
        RunChildTest(display.server(), kShotVariable, shotFile, QString::fromLatin1(childFilter));
    EXPECT_TRUE(child.Passed()) << child.output.toStdString();
}

// The share of pixels two pictures of one size have in common (0 when the
// sizes differ).
inline double SameShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 same = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            same += x.pixel(col, row) == y.pixel(col, row);
    return static_cast<double>(same) / (static_cast<qint64>(x.width()) * x.height());
}

// Where the shown window lies on the screen, asked of the X server itself:
// Qt learns the window manager's frame only when the window moves, and a
// window framed where it already stands never does.
struct OnScreen
{
    QRect client; // the window's inside
    QRect frame; // with the window manager's frame; empty until it is framed
};

inline OnScreen WhereShown(const QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return {};
    xcb_connection_t* c = x11->connection();
    const auto w = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    OnScreen where;
    auto* attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    auto* origin =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr);
    if (viewable && geometry && origin)
        where.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    std::free(geometry);
    std::free(origin);
    static const char kExtents[] = "_NET_FRAME_EXTENTS";
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, false, sizeof(kExtents) - 1, kExtents),
                                       nullptr);
    if (atom && !where.client.isEmpty()) {
        auto* extents = xcb_get_property_reply(
            c, xcb_get_property(c, false, w, atom->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr);
        if (extents && extents->format == 32 && xcb_get_property_value_length(extents) == 16) {
            const auto* e = static_cast<const quint32*>(xcb_get_property_value(extents));
            // left, right, top, bottom
            where.frame = where.client.adjusted(-int(e[0]), -int(e[2]), int(e[1]), int(e[3]));
        }
        std::free(extents);
    }
    std::free(atom);
    return where;
}

// In the child: waits until the window manager has framed the shown window
// and the screen shows what the window paints, then saves the screen area
// of its frame.
inline bool GrabFramed(QWidget* window)
{
    // A bound for a failure, not a time to wait: a sanitizer build on a
    // loaded machine is slow.
    QDeadlineTimer deadline(60000);
    QScreen* screen = QGuiApplication::primaryScreen();
    OnScreen where;
    double same = 0;
    auto painted = [&] {
        where = WhereShown(window);
        if (where.frame.isEmpty())
            return false;
        const QRect client = where.client;
        const QImage shown =
            screen->grabWindow(0, client.x(), client.y(), client.width(), client.height())
                .toImage();
        same = SameShare(shown, window->grab().toImage());
        return same > 0.99;
    };
    while (!painted()) {
        if (deadline.hasExpired()) {
            if (where.frame.isEmpty())
                ADD_FAILURE() << "the window manager never framed the window";
            else
                ADD_FAILURE() << "the screen never showed what the window paints (" << same * 100
                              << "% alike)";
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QRect frame = where.frame;
    const QImage image =
        screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    return !image.isNull() && image.save(qEnvironmentVariable(kShotVariable));
}

} // namespace wmshot
