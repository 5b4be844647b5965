#include "update/relaunch_cleanup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "dock/dock_harness.h"
#include "update/software_updater.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// The application as a relaunch finds it: the iPad extended on the right,
// the television on the left, and the virtual display running.
class RelaunchHarness : public DockHarness {
  public:
    RelaunchHarness() : host(platform, [] { return 7u; }) {}

    void connectEverything() {
        state = DockState::start(ports(&host.identity()));
        scheduler.advance(2s);
        state->autoReconnect.set(false);
        state->connect(device("Studio iPad"), Side::right);
        scheduler.advance(10s);
        state->connect(device("Living Room"), Side::left);
        scheduler.advance(20s);
        host.start();
        scheduler.advance(3s);
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

    VirtualDisplayHost host;
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
