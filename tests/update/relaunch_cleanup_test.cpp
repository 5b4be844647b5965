#include "update/relaunch_cleanup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "display/sim_preferences.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/sim_platform.h"
#include "update/software_updater.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// The application as a relaunch finds it: the iPad extended on the right,
// the television on the left, and the virtual display running.
class RelaunchHarness {
  public:
    RelaunchHarness()
        : mac(defaultScenario(), scheduler),
          platform(
              testing::simPlatform(scheduler, mac, defaults, machine, KD_RESOURCES_DIR "/Sounds")),
          values(createProcessValues(platform.frameworks)),
          host(platform, [] { return 7u; }) {}

    void connectEverything() {
        state = DockState::start(
            DockState::Ports{platform, *values, host.identity(), [this](const std::string& script) {
                                 const auto answer = mac.controlCentre().run(script);
                                 return ScriptResult{answer.status == 0,
                                                     answer.out.empty() ? answer.err : answer.out};
                             }});
        scheduler.advance(2s);
        state->autoReconnect.set(false);
        state->connect(device("Studio iPad"), Side::right);
        scheduler.advance(10s);
        state->connect(device("Living Room"), Side::left);
        scheduler.advance(20s);
        host.start();
        scheduler.advance(3s);
    }
    const Device& device(const std::string& name) const {
        for (const auto& device : state->scanner.devices.get()) {
            if (device.name == name) return device;
        }
        throw std::logic_error("no device named " + name);
    }
    bool connected(const std::string& name) const {
        return state->connectedKeys.get().contains(device(name).id);
    }
    int virtualDisplaysReleased() {
        int released = 0;
        for (const auto& event : mac.virtualDisplays().history()) {
            if (event.kind == SimVirtualDisplayEvent::Kind::released) ++released;
        }
        return released;
    }

    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac;
    testing::MachinePorts machine;
    Platform platform;
    std::unique_ptr<ProcessValues> values;
    VirtualDisplayHost host;
    std::unique_ptr<DockState> state;
};

TEST(RelaunchCleanup, HandsBackEveryDeviceOneAfterAnotherThenTheVirtualDisplay) {
    RelaunchHarness h;
    h.connectEverything();
    ASSERT_TRUE(h.connected("Studio iPad"));
    ASSERT_TRUE(h.connected("Living Room"));
    ASSERT_TRUE(h.host.isRunning());

    SoftwareUpdater updater(h.platform, "1.3");
    updater.state = h.state.get();
    updater.virtualDisplay = &h.host;
    int done = 0;
    updater.prepareForRelaunch([&] {
        // Everything is handed back before the relaunch may go on.
        EXPECT_FALSE(h.connected("Studio iPad"));
        EXPECT_FALSE(h.connected("Living Room"));
        EXPECT_FALSE(h.host.isRunning());
        ++done;
    });
    EXPECT_EQ(done, 0);
    h.scheduler.advance(10s);

    EXPECT_EQ(done, 1);
    EXPECT_EQ(h.mac.sidecar().disconnectCalls(), 1);
    EXPECT_TRUE(h.mac.sidecar().connectedNames().empty());
    EXPECT_TRUE(h.mac.controlCentre().connectedRows().empty());
    EXPECT_EQ(h.virtualDisplaysReleased(), 1);
    EXPECT_FALSE(h.state->busy.get());
}

TEST(RelaunchCleanup, ADisconnectThatNeverEndsHoldsTheRestUpOnlySoLong) {
    RelaunchHarness h;
    h.connectEverything();
    h.mac.sidecar().hangDisconnects();

    int done = 0;
    handBackBeforeRelaunch(h.scheduler, h.state.get(), &h.host, [&] { ++done; });
    h.scheduler.advance(kDisconnectPatience - 5s);
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(h.connected("Living Room")) << "the next waits for the one before";

    h.scheduler.advance(15s);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(h.connected("Living Room"));
    // Only the hung iPad's row is still up.
    EXPECT_EQ(h.mac.controlCentre().connectedRows().size(), 1U);
    EXPECT_EQ(h.state->status.get(), "");
    EXPECT_FALSE(h.host.isRunning());
}

TEST(RelaunchCleanup, AFlowAlreadyRunningIsWaitedFor) {
    RelaunchHarness h;
    h.connectEverything();
    h.state->disconnect(h.device("Living Room"));  // the user's own, just before
    ASSERT_TRUE(h.state->busy.get());

    int done = 0;
    handBackBeforeRelaunch(h.scheduler, h.state.get(), &h.host, [&] { ++done; });
    h.scheduler.advance(10s);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(h.connected("Studio iPad"));
    EXPECT_FALSE(h.connected("Living Room"));
    EXPECT_EQ(h.mac.sidecar().disconnectCalls(), 1);
}

TEST(RelaunchCleanup, WithNothingToHandBackTheRelaunchGoesOnAtOnce) {
    RelaunchHarness h;
    int done = 0;
    handBackBeforeRelaunch(h.scheduler, nullptr, nullptr, [&] { ++done; });
    EXPECT_EQ(done, 0) << "never from inside the call";
    h.scheduler.runUntilIdle();
    EXPECT_EQ(done, 1);

    handBackBeforeRelaunch(h.scheduler, nullptr, &h.host, [&] { ++done; });
    h.scheduler.runUntilIdle();
    EXPECT_EQ(done, 2);
    EXPECT_EQ(h.virtualDisplaysReleased(), 0);
}

}  // namespace
}  // namespace kd
