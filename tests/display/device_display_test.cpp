#include "display/device_display.h"

#include <gtest/gtest.h>

#include "display/sim_screens.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using screens::display;
using screens::hiddenMirror;
using screens::panel;

Device named(const std::string& name) {
    return Device{name, name, DeviceKind::appletv, {}, ""};
}

class DeviceDisplayTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    VirtualDisplayIdentity virtualDisplay;
    DeviceSnapshot snapshot;
};

TEST_F(DeviceDisplayTest, ADeviceTheSnapshotDoesNotKnowIsConsideredFirst) {
    SimWindowServer server({panel(), display(5, "Living Room TV", {1512, 0, 1920, 1080})},
                           scheduler);
    setDeviceSnapshot(snapshot, std::vector<Device>{named("Room")}, std::nullopt);
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Living")), 5u)
        << "both names fit the screen; the device asked about goes first";
    EXPECT_EQ(deviceSnapshot(snapshot).devs, std::vector<Device>{named("Room")})
        << "the snapshot itself is left alone";

    setDeviceSnapshot(snapshot, std::vector<Device>{named("Room"), named("Living")}, std::nullopt);
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Living")), std::nullopt)
        << "a known device keeps its place in the snapshot's order";
}

TEST_F(DeviceDisplayTest, AKnownDeviceIsResolvedAsTheSnapshotHasIt) {
    SimWindowServer server({panel(), display(7, "Гостиная", {1512, 0, 1920, 1080})}, scheduler);
    setDeviceSnapshot(snapshot,
                      std::vector<Device>{Device{"atv", "Гостиная", DeviceKind::appletv, {}, ""}},
                      std::nullopt);
    const Device renamed{"atv", "Kitchen", DeviceKind::appletv, {}, ""};
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, renamed), 7u);
}

TEST_F(DeviceDisplayTest, TheSnapshotsRecentListSettlesALeftoverScreen) {
    SimWindowServer server({panel(), display(9, "DELL U2720Q", {1512, 0, 1920, 1080})}, scheduler);
    setDeviceSnapshot(snapshot, std::vector<Device>{named("Office"), named("Kitchen")},
                      std::nullopt);
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Kitchen")), std::nullopt);
    setDeviceSnapshot(snapshot, std::nullopt, std::vector<std::string>{"Kitchen"});
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Kitchen")), 9u);
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Office")), std::nullopt);
}

TEST_F(DeviceDisplayTest, ALoneMirrorIsTakenToBeTheDevicesButTwoAreNot) {
    SimWindowServer server({panel(), hiddenMirror(8, "Living Room", 1)}, scheduler);
    setDeviceSnapshot(snapshot, std::vector<Device>{named("Office"), named("Kitchen")},
                      std::nullopt);
    EXPECT_EQ(displayID(server, virtualDisplay, snapshot, named("Kitchen")), std::nullopt);
    EXPECT_EQ(anyDisplayID(server, virtualDisplay, snapshot, named("Kitchen")), 8u);

    server.plugIn(hiddenMirror(6, "Office", 1));
    EXPECT_EQ(anyDisplayID(server, virtualDisplay, snapshot, named("Kitchen")), std::nullopt);
}

TEST_F(DeviceDisplayTest, AResolvedScreenWinsOverALoneMirror) {
    SimWindowServer server(
        {panel(), display(7, "Kitchen", {1512, 0, 1920, 1080}), hiddenMirror(8, "Office", 1)},
        scheduler);
    EXPECT_EQ(anyDisplayID(server, virtualDisplay, snapshot, named("Kitchen")), 7u);
}

}  // namespace
}  // namespace kd
