#include <gtest/gtest.h>

#include "ui/shell/current_device.h"
#include "ui/shell/desktop_scheme.h"
#include "ui/shell/dock_menu.h"
#include "ui/shell/quit_policy.h"
#include "ui/shell/window_frame.h"

namespace kd {
namespace {

Device named(const std::string& id) {
    return Device(id, "Device " + id, DeviceKind::appletv, {id}, "AppleTV14,1");
}

TEST(CurrentDevice, TheOneTheUserConnectedLastAmongTheConnected) {
    const std::vector<Device> list = {named("a"), named("b"), named("c")};
    // "c" was acted on most recently but is not connected any more.
    EXPECT_EQ(currentDevice(list, {"a", "b"}, {"c", "b", "a"})->id, "b");
    // Nothing recent is connected: the first connected in list order.
    EXPECT_EQ(currentDevice(list, {"c", "b"}, {"a"})->id, "b");
    EXPECT_EQ(currentDevice(list, {}, {"b"})->id, "a");
    // A recent key of a device no longer listed names nothing.
    EXPECT_EQ(currentDevice(list, {"gone", "c"}, {"gone"})->id, "c");
    EXPECT_EQ(currentDevice({}, {"a"}, {"a"}), std::nullopt);
}

TEST(DockMenu, AtMostFourDevicesThenTheVirtualDisplay) {
    const std::vector<Device> list = {named("1"), named("2"), named("3"), named("4"), named("5")};
    const auto items = dockMenuItems(list, {"2"}, false);
    ASSERT_EQ(items.size(), 6U);
    EXPECT_EQ(items[0], (DockMenuItem{DockMenuItem::Kind::device, "Connect Device 1", "1"}));
    EXPECT_EQ(items[1], (DockMenuItem{DockMenuItem::Kind::device, "Disconnect Device 2", "2"}));
    EXPECT_EQ(items[3].deviceKey, "4");
    EXPECT_EQ(items[4].kind, DockMenuItem::Kind::separator);
    EXPECT_EQ(items[5],
              (DockMenuItem{DockMenuItem::Kind::virtualDisplay, "Add Virtual Display", ""}));
}

TEST(DockMenu, WithNoDevicesOnlyTheVirtualDisplayWithoutASeparator) {
    EXPECT_EQ(dockMenuItems({}, {}, true),
              (std::vector<DockMenuItem>{
                  {DockMenuItem::Kind::virtualDisplay, "Remove Virtual Display", ""}}));
}

TEST(WindowFrame, SurvivesARoundTripAndRefusesDamage) {
    const WindowFrame frame{-1600, 207, 476, 420};
    EXPECT_EQ(frameFromText(frameText(frame), 420, 360), frame);
    // Too small grows to the minimum; the place is kept.
    EXPECT_EQ(frameFromText("10 20 100 50", 420, 360), (WindowFrame{10, 20, 420, 360}));
    for (const auto* damaged : {"", "10 20 476", "10 20 476 420 9", "a b c d", "10 20 476 420px"}) {
        EXPECT_EQ(frameFromText(damaged, 420, 360), std::nullopt) << damaged;
    }
}

TEST(QuitPolicy, ClosingTheWindowQuitsOnlyWhenNothingGoesOnWithoutIt) {
    EXPECT_TRUE(quitsAfterLastWindowClosed({}));
    const auto yes = [] { return true; };
    const auto no = [] { return false; };
    EXPECT_TRUE(quitsAfterLastWindowClosed({no, no, no}));
    EXPECT_FALSE(quitsAfterLastWindowClosed({yes, no, no}));
    EXPECT_FALSE(quitsAfterLastWindowClosed({no, yes, no}));
    EXPECT_FALSE(quitsAfterLastWindowClosed({no, no, yes}));
}

TEST(DesktopScheme, TheDesktopsWordBeatsThePaletteWhichBeatsLight) {
    EXPECT_TRUE(desktopPrefersDark("'prefer-dark'\n", 240));
    EXPECT_FALSE(desktopPrefersDark("'prefer-light'\n", 30));
    // "default" says nothing: the palette decides.
    EXPECT_TRUE(desktopPrefersDark("'default'\n", 30));
    EXPECT_FALSE(desktopPrefersDark("'default'\n", 240));
    EXPECT_TRUE(desktopPrefersDark(std::nullopt, 30));
    EXPECT_FALSE(desktopPrefersDark(std::nullopt, std::nullopt));
}

}  // namespace
}  // namespace kd
