// The settings dialog in the real program on a real (virtual) X display with
// a window manager: the calendar's menu opens it, a new title and Monday as
// the first day of the week show at once after OK, and both are in
// Kalvero.ini after the program has ended. A screenshot of the open dialog
// is kept in the build folder (xvfb_setup.png).
//
// A child process of this test program on the X display plays the user: it
// clicks and types with the XTEST extension. Where the dialog's controls lie
// it learns from a dialog of its own built by the same code on the same
// display, placed over the program's dialog.
#include "app/forms/setupform.h"
#include "app/settings/consts.h"
#include "core/files.h"
#include "gui/colors.h"
#include "view/wscheduler.h"

#include "support/xvfb.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Last: Xlib's macros must not meet the headers above.
#include "support/x11probe.h"

namespace {

constexpr char kChildVariable[] = "KALVERO_SETUP_CHILD";
const char* const kNewTitle = "Plan 2026";

QString ShotFile()
{
    return QStringLiteral(KALVERO_BINARY_DIR "/xvfb_setup.png");
}

using SetupOnX11 = ProgramOnDisplayTest<kChildVariable>;

TEST_F(SetupOnX11, TheMenuOpensTheDialogAndOkShowsAndKeepsTheSettings)
{
    ProgramOnDisplay& run = Run();
    const std::string dir = run.kalvero.dir();
    ASSERT_TRUE(
        files::WriteAtomic(dir + "Kalvero.ini", "MAINVIEW=20,20,720,560\r\nTITLE=Before\r\n"));
    ASSERT_TRUE(run.kalvero.Start(run.display.server()));
    QProcess& program = run.kalvero.process;

    const ChildTest child = RunChildTest(run.display.server(), kChildVariable, QStringLiteral("1"),
                                         QStringLiteral("SetupOnX11Child.*"));
    EXPECT_TRUE(child.Passed()) << child.output.toStdString();

    // Asked to end, the program closes its window and writes its settings.
    ASSERT_EQ(program.state(), QProcess::Running) << program.readAll().toStdString();
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(60000));
    std::string ini;
    ASSERT_TRUE(files::ReadAll(dir + "Kalvero.ini", ini));
    EXPECT_NE(ini.find(std::string("TITLE=") + kNewTitle + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("STARTOFWEEK=1\r\n"), std::string::npos) << ini;
}

// --- The child: the user at the X display.

// The mean x of the calendar's Sunday background inside an area: where the
// Sunday column is. Nothing when no such pixel is there.
std::optional<double> SundayColumn(const QImage& image, const QRect& area)
{
    const QRgb sunday = colors::ToQColor(TWScheduler::kSundayBack).rgb();
    long long sum = 0;
    long long n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); y += 2)
        for (int x = inside.left(); x <= inside.right(); x += 2)
            if (image.pixel(x, y) == sunday) {
                sum += x;
                ++n;
            }
    if (n < 200)
        return std::nullopt;
    return double(sum) / double(n);
}

TEST(SetupOnX11Child, OpensTheDialogChangesTwoSettingsAndSeesThemApplied)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "runs inside the program test";
    XUser user;
    ASSERT_TRUE(user.ok());

    std::optional<Window> main;
    std::optional<double> sundayBefore;
    ASSERT_TRUE(WaitFor([&] {
        main = user.Find(u"Before"_qs);
        return main && (sundayBefore = SundayColumn(ScreenImage(), user.Rect(*main)));
    })) << "the main window never showed its calendar";
    const QRect mainRect = user.Rect(*main);

    // The settings command of the calendar's menu: the item above the last.
    const QImage before = ScreenImage();
    QPoint onCalendar;
    const QRgb sunday = colors::ToQColor(TWScheduler::kSundayBack).rgb();
    for (int y = mainRect.top(); y < mainRect.bottom() && onCalendar.isNull(); y += 4)
        for (int x = mainRect.left(); x < mainRect.right() && onCalendar.isNull(); x += 4)
            if (before.pixel(x, y) == sunday)
                onCalendar = QPoint(x + 4, y + 4);
    user.Click(onCalendar, 3);
    // The keys go to the menu once it is open.
    ASSERT_TRUE(WaitFor([&] { return bool(user.OpenMenu()); })) << "no menu";
    user.Chord({ XK_Up });
    user.Chord({ XK_Up });
    user.Chord({ XK_Return });
    std::optional<Window> dialog;
    ASSERT_TRUE(WaitFor([&] {
        return (dialog = user.Find(u"Miradelの設定"_qs)) && user.Viewable(*dialog) &&
            user.HasFocus(*dialog);
    })) << "the settings dialog did not open in front";

    // The same dialog here, to learn where its controls lie.
    strconst::SetBuild(strconst::Build::Program);
    TSetupForm twin;
    twin.setAttribute(Qt::WA_DontShowOnScreen);
    twin.show();
    QApplication::processEvents();
    QRect dialogRect;
    ASSERT_TRUE(WaitFor([&] {
        dialogRect = user.Rect(*dialog);
        return dialogRect.size() == twin.size();
    })) << "the dialog is "
        << dialogRect.width() << "x" << dialogRect.height() << ", not " << twin.width() << "x"
        << twin.height();

    // Each step waits until the dialog shows it took the one before.
    auto area = [&](const char* name) {
        auto* control = twin.findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control
            ? QRect(dialogRect.topLeft() + control->mapTo(&twin, QPoint(0, 0)), control->size())
            : QRect();
    };
    auto changes = [&](const QRect& where, const std::function<void()>& step) {
        const QImage before = ScreenImage().copy(where);
        step();
        return WaitFor([&] { return ScreenImage().copy(where) != before; });
    };
    const QRect title = area("KalveroTitle");
    ASSERT_TRUE(changes(title, [&] { user.Click(title.center()); })) << "the title took no focus";
    ASSERT_TRUE(changes(title, [&] {
        user.Chord({ XK_Control_L, XK_a });
        user.Type(kNewTitle);
    }));
    // Painted for sure by now.
    EXPECT_TRUE(ScreenImage().copy(dialogRect).save(ShotFile()));
    auto* pages = twin.findChild<QTabWidget*>(u"PageControl1"_qs);
    ASSERT_NE(pages, nullptr);
    pages->setCurrentIndex(1);
    QApplication::processEvents();
    const QRect monday = area("StartWeek1");
    const QRect tab = pages->tabBar()->tabRect(1);
    ASSERT_TRUE(changes(monday, [&] {
        user.Click(dialogRect.topLeft() + pages->tabBar()->mapTo(&twin, tab.center()));
    })) << "the calendar page did not show";
    ASSERT_TRUE(changes(monday, [&] { user.Click(monday.center()); })) << "Monday not chosen";
    user.Click(area("OKButton").center());

    // At once: the window's title and the Sunday column at the right end.
    EXPECT_TRUE(WaitFor([&] { return !user.Find(u"Miradelの設定"_qs); }));
    EXPECT_TRUE(WaitFor([&] { return user.Title(*main) == QLatin1String(kNewTitle); }))
        << user.Title(*main).toStdString();
    std::optional<double> sundayAfter;
    EXPECT_TRUE(WaitFor([&] {
        sundayAfter = SundayColumn(ScreenImage(), mainRect);
        return sundayAfter && *sundayAfter > *sundayBefore + mainRect.width() / 4;
    })) << "Sunday column at "
        << *sundayBefore << ", then " << (sundayAfter ? *sundayAfter : -1.0);
}

} // namespace
