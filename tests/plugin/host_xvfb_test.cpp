// The test host as a person uses it, on a real (virtual) X display under a
// window manager: it receives a folder of mails, shows the plug-in's schedule
// window and the mail list's context menu with the plug-in's commands, and
// leaves a picture of the screen in the build folder (xvfb_host.png) for a
// person to look at.

#include "support/testutil.h"
#include "support/xvfb.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(HostOnX11, ShowsThePluginsWindowAndCommandsAndLeavesAScreenshot)
{
    ManagedDisplay display;
    if (!display.Missing().isEmpty())
        GTEST_SKIP() << display.Missing().toStdString();
    ASSERT_TRUE(display.Problem().isEmpty()) << display.Problem().toStdString();

    TempDir data;
    std::filesystem::create_directories(data.path + "mails");
    std::filesystem::create_directories(data.path + "host/Kalvero");
    data.Write("mails/1.eml", TestData("plugin/schedule_iso2022jp.eml"));
    data.Write("mails/2.eml",
               "From: Tanaka <tanaka@example.jp>\r\nSubject: Lunch\r\n"
               "Date: Tue, 9 Dec 2025 11:00:00 +0900\r\n\r\nNoon?\r\n");
    // The schedule window over the lower right of the host's.
    data.Write("host/Kalvero/Kalvero.ini", "MAINVIEW=400,230,1020,730\r\n");
    const QString shot = QStringLiteral(KALVERO_BINARY_DIR "/xvfb_host.png");
    QFile::remove(shot);

    QProcess host;
    host.setProcessEnvironment(display.server().Environment());
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.start(QStringLiteral(KALVERO_BINARY_DIR "/tests/host/kalvero-host"),
               { QStringLiteral("-plugin"), QStringLiteral(KALVERO_BINARY_DIR "/plugin/Kalvero.so"),
                 QStringLiteral("--data"), QString::fromStdString(data.path + "host"),
                 QStringLiteral("--screenshot"), shot,
                 QString::fromStdString(data.path + "mails") });
    ASSERT_TRUE(host.waitForFinished(120000)) << host.readAll().toStdString();
    const QByteArray output = host.readAll();
    EXPECT_EQ(host.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("No such plugin")) << output.toStdString();

    const QImage image(shot);
    ASSERT_EQ(image.size(), QSize(1024, 768));
    // Both windows and the menu cover most of the black screen.
    qint64 lit = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            lit += image.pixel(x, y) != qRgb(0, 0, 0);
    EXPECT_GT(lit, qint64(image.width() / 4) * (image.height() / 4) / 2);
}

} // namespace
