#include <gtest/gtest.h>

#include "display/device_prefs.h"
#include "model/device.h"
#include "virtual_host_harness.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Kind = SimVirtualDisplayEvent::Kind;
using Call = CompanionCall::Kind;

constexpr DisplayID kPanel = 1;
const std::string kConnect = "WaterBubble.aiff";
const std::string kDisconnect = "WaterBubble_rev.aiff";

class VirtualDisplayHostTest : public ::testing::Test {
  protected:
    VirtualHostHarness h;
    VirtualDisplayHost& host = h.host();

    // Started, read back and placed.
    DisplayID startSettled() {
        host.start();
        h.advance(2s);
        return host.displayID.get().value();
    }
};

TEST_F(VirtualDisplayHostTest, StartBringsUpOneDisplayDescribedAsChosenAndSaysWhatRuns) {
    host.start();
    host.start();
    ASSERT_TRUE(host.isRunning());
    const auto id = *host.displayID.get();
    EXPECT_TRUE(host.identity().isVirtual(id));
    EXPECT_EQ(h.created(), 1u);
    EXPECT_EQ(h.sounds(), std::vector{kConnect});

    const auto history = h.mac.virtualDisplays().history();
    const auto& described = history[0].descriptor;
    EXPECT_EQ(described.name, "Kelvane Display");
    EXPECT_EQ(std::pair(described.maxPixelsWide, described.maxPixelsHigh), std::pair(3840u, 2160u));
    EXPECT_NEAR(described.widthMillimeters, 443.35, 0.01) << "1920 pixels at 110 per inch";
    EXPECT_EQ(std::tuple(described.productID, described.vendorID, described.serialNum),
              std::tuple(0x5344u, 0x1209u, 42u));
    EXPECT_EQ(described.queue, Queue::serial("com.kelvane1.display.virtualdisplay"));
    EXPECT_EQ(history[1].settings,
              (VirtualDisplaySettings{
                  true, {{960, 540, 60}, {1920, 1080, 60}, {1632, 918, 60}, {1440, 810, 60}}}));

    EXPECT_EQ(host.actual.get(), "");
    h.advance(800ms);
    EXPECT_EQ(host.actual.get(), "1920\u00d71080 \u00b7 Retina 3840\u00d72160");
}

TEST_F(VirtualDisplayHostTest, WithNoSavedSideTheScreenGoesRightOfTheMacBottomsLevel) {
    const auto id = startSettled();
    const auto panel = h.mac.windowServer().bounds(kPanel);
    const auto screen = h.mac.windowServer().bounds(id);
    EXPECT_EQ(screen.minX(), panel.maxX());
    EXPECT_EQ(screen.maxY(), panel.maxY());
}

TEST_F(VirtualDisplayHostTest, AScreenThatComesUpMirroringIsUnmirroredThenPutOnItsSide) {
    saveSide(h.defaults, Side::left, kVirtualDeviceID);
    host.start();
    const auto id = *host.displayID.get();
    h.mac.windowServer().setMirror(id, kPanel);
    h.advance(700ms);
    EXPECT_EQ(h.mac.windowServer().mirrorsDisplay(id), 0u);
    h.advance(800ms);
    EXPECT_EQ(h.mac.windowServer().bounds(id).maxX(), h.mac.windowServer().bounds(kPanel).minX());
}

TEST_F(VirtualDisplayHostTest, StopRemovesTheScreenOnceWithTheDisconnectSound) {
    const auto id = startSettled();
    const auto generation = host.generation();
    h.sharing = h.previewing = true;
    host.stop();
    EXPECT_FALSE(host.isRunning());
    EXPECT_FALSE(host.identity().current().has_value());
    EXPECT_FALSE(h.online(id));
    EXPECT_EQ(host.actual.get(), "");
    EXPECT_EQ(h.calls, (std::vector<CompanionCall>{{Call::closePreview}, {Call::stopSharing}}));
    host.stop();
    EXPECT_EQ(host.generation(), generation + 1) << "a stop with nothing to stop changes nothing";
    EXPECT_EQ(h.sounds(), (std::vector{kConnect, kDisconnect}));
}

TEST_F(VirtualDisplayHostTest, ARefusalOrARejectionLeavesItStoppedSayingWhy) {
    h.mac.virtualDisplays().refuseNextCreate();
    host.toggle();
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(host.status.get(), "macOS refused to create the virtual display");

    h.mac.virtualDisplays().rejectNextSettings();
    host.toggle();
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(host.status.get(), "The display was created but rejected its modes");
    EXPECT_EQ(h.mac.virtualDisplays().history().back().kind, Kind::released);
    EXPECT_TRUE(h.sounds().empty());

    host.toggle();
    EXPECT_TRUE(host.isRunning());
    EXPECT_EQ(host.status.get(), "") << "every start clears the last failure";
}

Scenario limitedTo4K() {
    auto scenario = defaultScenario();
    scenario.virtualDisplays.largestPixels = 3840 * 2160;
    return scenario;
}

TEST(VirtualDisplayHostLimitTest, TheSystemFallsBackDownTheLadderWhereItCan) {
    VirtualHostHarness h(limitedTo4K());
    auto& host = h.host();
    host.width.set(3840);
    host.height.set(2160);
    host.start();
    h.advance(800ms);
    ASSERT_TRUE(host.isRunning());
    EXPECT_EQ(host.actual.get(), "1920\u00d71080 \u00b7 Retina 3840\u00d72160");
}

TEST(VirtualDisplayHostLimitTest, ASizeNeverDrivenStopsItWithTheReasonForItsRetinaSetting) {
    VirtualHostHarness h(limitedTo4K());
    auto& host = h.host();
    host.width.set(5120);
    host.height.set(2880);
    host.start();
    ASSERT_TRUE(host.isRunning());
    h.advance(800ms);
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(
        host.status.get(),
        "That size is too large with Retina on \u2014 turn Retina off or pick a smaller size");

    host.hidpi.set(false);
    host.width.set(8192);
    host.height.set(4608);
    host.start();
    h.advance(800ms);
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(host.status.get(), "macOS could not bring up a display that large");
}

TEST_F(VirtualDisplayHostTest, ATerminationByTheSystemClearsItQuietly) {
    const auto id = startSettled();
    const auto generation = host.generation();
    h.sharing = true;
    h.mac.virtualDisplays().terminate(id);
    h.scheduler.runUntilIdle();
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(host.actual.get(), "");
    EXPECT_EQ(host.generation(), generation);
    EXPECT_EQ(h.calls, std::vector<CompanionCall>{{Call::stopSharing}});
    EXPECT_EQ(h.sounds(), std::vector{kConnect});
    host.start();
    EXPECT_TRUE(host.isRunning()) << "the terminated display is no longer held";
}

TEST_F(VirtualDisplayHostTest, ChangesWhileRunningRecreateItOnceSilentlyWithAllOfThem) {
    const auto old = startSettled();
    host.width.set(2560);
    host.height.set(1440);
    EXPECT_FALSE(host.isRunning()) << "the first change stops it";
    h.advance(150ms);
    ASSERT_TRUE(host.isRunning());
    EXPECT_NE(*host.displayID.get(), old);
    EXPECT_EQ(h.created(), 2u);
    const auto history = h.mac.virtualDisplays().history();
    EXPECT_EQ(history.back().settings.modes[1], (VirtualDisplayMode{2560, 1440, 60}));
    EXPECT_EQ(h.defaults.integer(kVirtualWidthKey), 2560);
    EXPECT_EQ(h.defaults.integer(kVirtualHeightKey), 1440);
    h.advance(3s);
    EXPECT_EQ(h.created(), 2u);
    EXPECT_EQ(h.sounds(), std::vector{kConnect}) << "a restart makes no sound";
    host.stop();
    EXPECT_EQ(h.sounds(), (std::vector{kConnect, kDisconnect}));
}

TEST_F(VirtualDisplayHostTest, ChangesWhileStoppedAreOnlyStored) {
    host.refresh.set(50);
    host.hidpi.set(false);
    EXPECT_EQ(h.created(), 0u);
    EXPECT_EQ(h.defaults.integer(kVirtualRefreshKey), 50);
    EXPECT_EQ(h.defaults.boolValue(kVirtualHiDPIKey), false);
    h.dropHost();
    auto& again = h.host();
    EXPECT_EQ(std::pair(again.refresh.get(), again.hidpi.get()), std::pair(50, false));
    again.start();
    EXPECT_EQ(
        h.mac.virtualDisplays().history().back().settings,
        (VirtualDisplaySettings{false, {{1920, 1080, 50}, {1632, 918, 50}, {1440, 810, 50}}}));
}

TEST_F(VirtualDisplayHostTest, ARestartBringsTheShareAndThePreviewBackForTheNewScreen) {
    startSettled();
    h.sharing = h.previewing = true;
    host.hidpi.set(false);
    h.calls.clear();
    h.advance(150ms);
    const auto id = *host.displayID.get();
    h.advance(799ms);
    EXPECT_TRUE(h.calls.empty());
    h.advance(1ms);
    EXPECT_EQ(h.calls,
              (std::vector<CompanionCall>{{Call::startSharing, id}, {Call::showPreview, id}}));
}

// The old display's termination handler, arriving after a restart, once
// tore down the display that replaced it.
TEST_F(VirtualDisplayHostTest, TheOldDisplaysLateTerminationLeavesItsSuccessorAlone) {
    const auto old = startSettled();
    host.width.set(2560);
    h.advance(150ms);
    const auto replacement = host.displayID.get();
    ASSERT_TRUE(replacement.has_value());
    h.mac.virtualDisplays().terminate(old);
    h.scheduler.runUntilIdle();
    EXPECT_EQ(host.displayID.get(), replacement);
    EXPECT_TRUE(h.online(*replacement));
}

// A restart whose start failed once left the restart's silence behind, and
// the user's next start made no sound.
TEST_F(VirtualDisplayHostTest, ARestartThatFailsDoesNotMuteTheNextStart) {
    startSettled();
    h.mac.virtualDisplays().refuseNextCreate();
    host.width.set(2560);
    h.advance(150ms);
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(host.status.get(), "macOS refused to create the virtual display");
    host.start();
    EXPECT_EQ(h.sounds(), (std::vector{kConnect, kConnect}));
}

TEST_F(VirtualDisplayHostTest, AStopByTheUserDuringARestartIsNotUndone) {
    startSettled();
    host.width.set(2560);
    host.start();  // the user, before the old screen has gone
    host.stop();
    h.advance(3s);
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(h.created(), 2u);
}

TEST_F(VirtualDisplayHostTest, DelayedStepsOfAStoppedStartDoNothing) {
    host.start();
    host.stop();
    h.advance(3s);
    EXPECT_EQ(host.status.get(), "") << "the read-back of a stopped display says nothing";
    EXPECT_EQ(h.sounds(), (std::vector{kConnect, kDisconnect}));
}

TEST_F(VirtualDisplayHostTest, NothingScheduledOutlivesTheHost) {
    host.start();
    host.width.set(2560);
    h.dropHost();
    h.advance(5s);
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
}

TEST_F(VirtualDisplayHostTest, TheTeardownWaitPollsUntilTheScreenGoesOrAboutTwoSeconds) {
    std::vector<std::chrono::milliseconds> ranAt;
    const auto begin = h.scheduler.now();
    const auto record = [&] {
        ranAt.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(h.scheduler.now() - begin));
    };
    host.waitForTeardown(std::nullopt, record);
    host.waitForTeardown(kPanel, record);  // a screen that never goes
    host.waitForTeardown(DisplayID{77}, record);
    h.advance(5s);
    EXPECT_EQ(ranAt, (std::vector<std::chrono::milliseconds>{150ms, 300ms, 2250ms}));
}

}  // namespace
}  // namespace kd
