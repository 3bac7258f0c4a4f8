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

// In the child: waits until the window manager has framed the shown window
// and the screen shows what the window paints, then saves the screen area
// of its frame.
inline bool GrabFramed(QWidget* window)
{
    QDeadlineTimer deadline(30000);
    QScreen* screen = nullptr;
    auto painted = [&] {
        if (!window->isVisible() || window->frameGeometry() == window->geometry())
            return false;
        screen = window->screen();
        const QRect client = window->geometry();
        const QImage shown =
            screen->grabWindow(0, client.x(), client.y(), client.width(), client.height())
                .toImage();
        return SameShare(shown, window->grab().toImage()) > 0.99;
    };
    // A window mapped while the manager was still starting may stay
    // unframed: it is mapped once more then.
    QDeadlineTimer remap(5000);
    while (!painted()) {
        if (remap.hasExpired() && window->frameGeometry() == window->geometry()) {
            window->hide();
            window->show();
            remap.setRemainingTime(5000);
        }
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "the framed window never showed on the screen";
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QRect frame = window->frameGeometry();
    const QImage image =
        screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    return !image.isNull() && image.save(qEnvironmentVariable(kShotVariable));
}

} // namespace wmshot
