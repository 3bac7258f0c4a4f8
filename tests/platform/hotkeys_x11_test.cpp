// A real X11 grab: the test starts a private X server and runs the child
// test below in a second process on it (the test programs themselves run on
// the offscreen platform). The child registers hot keys through the backend
// the application picks, fakes key presses with the XTEST extension and
// waits for Activated.
#include "platform/hotkeys.h"

#include "support/xvfb.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <vector>

// Last: Xlib's macros must not meet the headers above.
#include "support/x11probe.h"

namespace {

const char* const kChildVariable = "KALVERO_X11_CHILD";

TEST(X11HotKeys, RealGrabRegistersAndFiresUnderXvfb)
{
    if (qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "inside the child";
    XvfbServer server;
    if (!server.installed())
        GTEST_SKIP() << server.problem().toStdString();
    ASSERT_FALSE(server.display().isEmpty()) << server.problem().toStdString();

    const ChildTest child = RunChildTest(server, kChildVariable, QStringLiteral("1"),
                                         QStringLiteral("X11HotKeysChild.*"));
    EXPECT_TRUE(child.Passed()) << child.output.toStdString();
}

// Runs the event loop until n activations arrived (or a bound for a
// failure: a sanitizer build on a loaded machine is slow).
void WaitFor(const std::vector<int>& ids, std::size_t n)
{
    QDeadlineTimer deadline(60000);
    while (ids.size() < n && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

TEST(X11HotKeysChild, GrabsFireInEveryLockStateAndTakenKeysFail)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "runs inside the X11 test";
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    std::unique_ptr<hotkeys::THotKeyBackend> keys = hotkeys::CreateBackend();
    ASSERT_EQ(dynamic_cast<hotkeys::TNullHotKeys*>(keys.get()), nullptr);
    std::vector<int> ids;
    QObject::connect(keys.get(), &hotkeys::THotKeyBackend::Activated,
                     [&ids](int id) { ids.push_back(id); });

    XUser keyboard;
    ASSERT_TRUE(keyboard.ok());

    const std::uint16_t ctrlAltK = 0x4000 | 0x8000 | 'K';
    const std::uint16_t f9 = 0x78;
    ASSERT_TRUE(keys->Register(0, ctrlAltK));
    ASSERT_TRUE(keys->Register(1, f9));

    keyboard.Chord({ XK_Control_L, XK_Alt_L, XK_k });
    WaitFor(ids, 1);
    ASSERT_EQ(ids, std::vector<int>({ 0 }));

    // Without all its modifiers the key is not the hot key; the F9 press
    // after it shows that the events in between were seen.
    keyboard.Chord({ XK_Control_L, XK_k });
    keyboard.Chord({ XK_F9 });
    WaitFor(ids, 2);
    ASSERT_EQ(ids, std::vector<int>({ 0, 1 }));

    // With NumLock and CapsLock on, the keys still arrive.
    keyboard.Chord({ XK_Num_Lock });
    keyboard.Chord({ XK_Caps_Lock });
    keyboard.Chord({ XK_Control_L, XK_Alt_L, XK_k });
    keyboard.Chord({ XK_F9 });
    WaitFor(ids, 4);
    EXPECT_EQ(ids, std::vector<int>({ 0, 1, 0, 1 }));
    keyboard.Chord({ XK_Num_Lock });
    keyboard.Chord({ XK_Caps_Lock });

    // Released keys are free again; F9 still works.
    keys->Unregister(0);
    keyboard.Chord({ XK_Control_L, XK_Alt_L, XK_k });
    keyboard.Chord({ XK_F9 });
    WaitFor(ids, 5);
    EXPECT_EQ(ids, std::vector<int>({ 0, 1, 0, 1, 1 }));

    // A key another program grabbed first cannot be registered.
    Display* other = keyboard.display();
    XGrabKey(other, XKeysymToKeycode(other, XK_F10), 0, DefaultRootWindow(other), False,
             GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    EXPECT_FALSE(keys->Register(2, 0x79));
    // ... and an unknown virtual key neither.
    EXPECT_FALSE(keys->Register(3, 0x10));
    EXPECT_TRUE(keys->Register(4, 0x2000 | 'J'));
}

} // namespace
