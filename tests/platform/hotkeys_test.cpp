// Hot-key backends without a display: the fake backend of the window tests,
// the quiet backend of other platforms, and the key table for X11.
#include "gui/hotkeycode.h"
#include "platform/hotkeys.h"
#include "platform/vkeys.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(FakeHotKeys, RegistersReplacesReleasesAndPresses)
{
    hotkeys::TFakeHotKeys keys;
    QSignalSpy activated(&keys, &hotkeys::THotKeyBackend::Activated);
    const std::uint16_t ctrlAltK = 0x4000 | 0x8000 | 'K';
    EXPECT_TRUE(keys.Register(0, ctrlAltK));
    EXPECT_TRUE(keys.Register(1, 0x70));
    EXPECT_TRUE(keys.Press(ctrlAltK));
    EXPECT_FALSE(keys.Press('K')); // without the modifiers it is another key
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 0);

    // Re-registering an id replaces its key.
    EXPECT_TRUE(keys.Register(0, 0x2000 | 'Q'));
    EXPECT_FALSE(keys.Press(ctrlAltK));
    EXPECT_TRUE(keys.Press(0x2000 | 'Q'));
    keys.Unregister(0);
    EXPECT_FALSE(keys.Press(0x2000 | 'Q'));
    EXPECT_EQ(keys.Registered(0), 0);
    EXPECT_EQ(keys.Registered(1), 0x70);

    // Code 0, a key held elsewhere and a key of another id cannot be had.
    EXPECT_FALSE(keys.Register(2, 0));
    keys.SetTaken(0x71);
    EXPECT_FALSE(keys.Register(2, 0x71));
    EXPECT_FALSE(keys.Register(2, 0x70));
    EXPECT_EQ(keys.RegisteredCount(), 1u);
}

TEST(HotKeyBackends, OtherPlatformsFailQuietlyAndTestsInstallTheirOwn)
{
    // The test programs run on "offscreen": no X11 backend there.
    EXPECT_EQ(hotkeys::CreateX11Backend(), nullptr);
    auto quiet = hotkeys::CreateBackend();
    ASSERT_NE(quiet, nullptr);
    EXPECT_FALSE(quiet->Register(0, 0x4000 | 'K'));
    quiet->Unregister(0);

    hotkeys::TFakeHotKeys* made = nullptr;
    auto previous = hotkeys::SetFactory([&made](QObject* parent) {
        auto fake = std::make_unique<hotkeys::TFakeHotKeys>(parent);
        made = fake.get();
        return fake;
    });
    auto fake = hotkeys::CreateBackend();
    EXPECT_EQ(fake.get(), made);
    EXPECT_TRUE(fake->Register(0, 'A'));
    hotkeys::SetFactory(std::move(previous));
    EXPECT_EQ(dynamic_cast<hotkeys::TFakeHotKeys*>(hotkeys::CreateBackend().get()), nullptr);
}

TEST(VirtualKeys, EveryKeyTheSettingsCanHoldHasAKeysym)
{
    // The settings hold a virtual key only when it has a Qt key; each of
    // those must be grabbable, and the others must not pretend to be.
    for (int vk = 1; vk < 256; ++vk) {
        const bool inSettings = settingsqt::VirtualKeyToQt(vk).key() != Qt::Key(0);
        if (inSettings) {
            EXPECT_NE(vkeys::VirtualKeyToKeysym(vk), 0u) << "virtual key " << vk;
        }
    }
    // Spot checks against the X protocol's keysym values.
    EXPECT_EQ(vkeys::VirtualKeyToKeysym('A'), 0x61u); // a
    EXPECT_EQ(vkeys::VirtualKeyToKeysym('Z'), 0x7au); // z
    EXPECT_EQ(vkeys::VirtualKeyToKeysym('7'), 0x37u);
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x70), 0xffbeu); // F1
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x87), 0xffd5u); // F24
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x60), 0xffb0u); // KP_0
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x6C), 0xffacu); // KP_Separator
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x2E), 0xffffu); // Delete
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x21), 0xff55u); // Prior (Page Up)
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0xDE), 0x27u); // apostrophe
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0), 0u);
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0x10), 0u); // Shift alone is no hot key
    EXPECT_EQ(vkeys::VirtualKeyToKeysym(0xFF), 0u);
}

} // namespace
