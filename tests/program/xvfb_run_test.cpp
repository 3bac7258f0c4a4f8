// The real executable on a real (virtual) X display: it starts from a data
// folder beside it with the shipped holidays and a schedule, shows its
// window, and a screenshot of the screen shows the window's calendar. The
// screenshot is kept in the build folder (xvfb_kalvero.png) for a person to
// look at.
//
// The grab runs in a child process of this test program on the X display
// (the test programs themselves run offscreen).
#include "core/files.h"
#include "core/schedlist.h"
#include "core/sjis.h"

#include "support/xvfb.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const char* const kShotVariable = "KALVERO_SHOT_FILE";

QString ShotFile()
{
    return QStringLiteral(KALVERO_BINARY_DIR "/xvfb_kalvero.png");
}

TEST(ProgramOnX11, StartsShowsItsCalendarAndLeavesAScreenshot)
{
    if (qEnvironmentVariableIsSet(kShotVariable))
        GTEST_SKIP() << "inside the child";
    const QString exe = QStringLiteral(KALVERO_BINARY_DIR "/program/Kalvero");
    if (!QFile::exists(exe))
        GTEST_SKIP() << "the program is not built";
    XvfbServer server(QStringLiteral("800x600x24"));
    if (server.display().isEmpty())
        GTEST_SKIP() << server.problem().toStdString();

    QTemporaryDir tmp;
    const std::string dir = QFile::encodeName(tmp.path()).toStdString() + "/";
    ASSERT_TRUE(QFile::copy(exe, tmp.path() + u"/Kalvero"_qs));
    ASSERT_TRUE(files::Copy(KALVERO_SOURCE_DIR "/data/Kalvero.hol", dir + "Kalvero.hol"));
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
    ASSERT_TRUE(
        files::WriteAtomic(dir + "Kalvero.ini", "MAINVIEW=20,20,720,560\r\nCLOCKDISP=1\r\n"));

    QProcess program;
    program.setProcessEnvironment(server.Environment());
    program.setWorkingDirectory(tmp.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(tmp.path() + u"/Kalvero"_qs, {});
    ASSERT_TRUE(program.waitForStarted(10000));

    const ChildTest child =
        RunChildTest(server, kShotVariable, ShotFile(), QStringLiteral("ProgramOnX11Child.*"));
    EXPECT_TRUE(child.Passed()) << child.output.toStdString() << "\nThe program said:\n"
                                << program.readAll().toStdString();

    EXPECT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
    program.terminate();
    program.waitForFinished(10000);
}

// Counts pixels of the calendar's background inside the window's area.
int WhitePixels(const QImage& image, const QRect& area)
{
    if (!image.rect().contains(area))
        return 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2)
        for (int x = area.left(); x <= area.right(); x += 2)
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                ++n;
    return n;
}

TEST(ProgramOnX11Child, GrabsTheScreenOnceTheWindowIsUp)
{
    if (!qEnvironmentVariableIsSet(kShotVariable))
        GTEST_SKIP() << "runs inside the program test";
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    // The window's area (its settings place it at 20,20, 700 x 540); the
    // empty screen is black. Wait until the calendar has painted.
    const QRect area(40, 80, 640, 400);
    QImage image;
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        image = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        if (WhitePixels(image, area) > area.width() * area.height() / 16)
            break;
        QThread::msleep(200);
    }
    // One more second for the first painting to finish.
    QThread::msleep(1000);
    image = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(image.save(qEnvironmentVariable(kShotVariable)));
    EXPECT_GT(WhitePixels(image, area), area.width() * area.height() / 16);
    // Outside the window the screen stays black.
    EXPECT_EQ(image.pixel(790, 590), qRgb(0, 0, 0));
}

} // namespace
