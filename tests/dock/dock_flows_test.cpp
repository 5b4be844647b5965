#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "display/device_prefs.h"
#include "display/inventory.h"
#include "display/modes.h"
#include "dock_harness.h"
#include "platform/sim/sim_frameworks.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Every status text the controller showed, in order, empty ones included.
class StatusLog {
  public:
    explicit StatusLog(const DockState& state)
        : subscription_(
              state.status.subscribe([this](const std::string& s) { texts.push_back(s); })) {}
    std::vector<std::string> texts;

  private:
    Published<std::string>::Subscription subscription_;
};

std::vector<std::string> playedNames(const SimSoundPlayer& player) {
    std::vector<std::string> names;
    for (const auto& sound : player.played()) {
        names.push_back(sound.what.substr(sound.what.find_last_of('/') + 1));
    }
    return names;
}

TEST(DockFlows, AnIPadConnectsOverSidecarAndIsPlacedOnItsSide) {
    DockHarness h;
    auto& state = h.start();
    StatusLog log(state);
    const auto iPad = h.device("Studio iPad");
    state.connect(iPad, Side::left);
    EXPECT_TRUE(state.busy.get());
    EXPECT_EQ(state.busyKey.get(), iPad.id);
    h.advance(10s);

    EXPECT_FALSE(state.busy.get());
    EXPECT_EQ(log.texts, (std::vector<std::string>{"Connecting to Studio iPad\u2026", ""}));
    EXPECT_EQ(state.occupied.get(), (std::map<std::string, Side>{{iPad.id, Side::left}}));
    EXPECT_TRUE(state.connectedKeys.get().contains(iPad.id));
    EXPECT_EQ(savedSide(h.defaults, iPad.id), Side::left);
    EXPECT_FALSE(cachedModes(h.defaults, iPad.id).empty());
    EXPECT_EQ(state.lastDevice, iPad);
    EXPECT_EQ(playedNames(h.mac.soundPlayer()), std::vector<std::string>{"WaterBubble.aiff"});
    ASSERT_EQ(state.tiles.get().size(), 2U);
    EXPECT_EQ(state.tiles.get()[1].name, "Studio iPad");
}

TEST(DockFlows, ATelevisionConnectsThroughTheMenuExtendedWithoutAsking) {
    DockHarness h;
    auto& state = h.start();
    StatusLog log(state);
    const auto tv = h.device("Living Room");
    state.connect(tv, Side::right);
    h.advance(20s);

    EXPECT_FALSE(state.busy.get());
    ASSERT_GE(log.texts.size(), 2U);
    EXPECT_EQ(log.texts[0], "Connecting to Living Room\u2026");
    EXPECT_EQ(log.texts[1], "Waiting for Living Room to hand over a screen\u2026");
    EXPECT_EQ(state.status.get(), "");
    EXPECT_EQ(state.occupied.get(), (std::map<std::string, Side>{{tv.id, Side::right}}));
    EXPECT_FALSE(h.mac.controlCentre().panelShowing());
    EXPECT_EQ(h.mac.frameworks().tvConnectPolicy(), 4);
    EXPECT_EQ(playedNames(h.mac.soundPlayer()), std::vector<std::string>{"WaterBubble.aiff"});
}

TEST(DockFlows, AClickWhileBusyChangesNothing) {
    DockHarness h;
    auto& state = h.start();
    state.connect(h.device("Studio iPad"), Side::right);
    StatusLog log(state);
    state.connect(h.device("Living Room"), Side::left);
    state.mirror(h.device("Living Room"));
    state.disconnect(h.device("Living Room"));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(state.busyKey.get(), "sidecar");
    h.advance(10s);
    EXPECT_TRUE(h.mac.controlCentre().receivedScripts().empty());
}

TEST(DockFlows, AnExtendedScreenIsOnlyMoved) {
    DockHarness h;
    auto& state = h.start();
    const auto iPad = h.device("Studio iPad");
    state.connect(iPad, Side::right);
    h.advance(10s);
    const auto connects = h.mac.sidecar().connectCalls().size();

    StatusLog log(state);
    state.connect(iPad, Side::top);
    h.advance(3s);
    EXPECT_EQ(log.texts, (std::vector<std::string>{"Moving\u2026", ""}));
    EXPECT_EQ(state.occupied.get().at(iPad.id), Side::top);
    EXPECT_EQ(h.mac.sidecar().connectCalls().size(), connects);

    // A move the window server refuses says so.
    h.mac.windowServer().failNextComplete(1000);
    state.connect(iPad, Side::left);
    h.advance(3s);
    EXPECT_EQ(state.status.get(), "Couldn't move Studio iPad");
    EXPECT_FALSE(state.busy.get());
}

TEST(DockFlows, WithoutAccessibilityTheMenuIsNotTouched) {
    auto scenario = defaultScenario();
    scenario.accessibilityTrusted = false;
    DockHarness h(scenario);
    auto& state = h.start();
    const auto tv = h.device("Living Room");
    const std::vector<std::function<void()>> actions = {[&] { state.connect(tv, Side::left); },
                                                        [&] { state.mirror(tv); },
                                                        [&] { state.disconnect(tv); }};
    for (const auto& action : actions) {
        state.say("");
        action();
        EXPECT_EQ(state.status.get(), kAllowAccessibilityText);
        EXPECT_FALSE(state.busy.get());
    }
    h.advance(5s);
    EXPECT_TRUE(h.mac.controlCentre().receivedScripts().empty());
}

TEST(DockFlows, AnIPadWithoutSidecarGoesThroughTheMenu) {
    auto scenario = defaultScenario();
    scenario.sidecarCore.present = false;
    DockHarness h(scenario);
    auto& state = h.start();
    state.autoReconnect.set(false);
    const Device stranger("ipad-on-network", "Kitchen iPad", DeviceKind::ipad, {"AB:CD"},
                          "iPad13,1");
    state.connect(stranger, Side::right);
    EXPECT_EQ(state.status.get(), "Connecting to Kitchen iPad\u2026");
    h.advance(20s);
    ASSERT_EQ(h.mac.controlCentre().receivedScripts().size(), 1U);
    EXPECT_TRUE(state.status.get().starts_with("Error: ")) << state.status.get();
    EXPECT_NE(state.status.get().find("Device not found in Screen Mirroring menu"),
              std::string::npos);
    EXPECT_FALSE(state.busy.get());
}

TEST(DockFlows, DisconnectEndsTheScreenAndForgetsTheDevice) {
    DockHarness h;
    auto& state = h.start();
    const auto iPad = h.device("Studio iPad");
    state.connect(iPad, Side::right);
    h.advance(10s);
    StatusLog log(state);
    state.disconnect(iPad);
    EXPECT_FALSE(state.lastDevice);
    h.advance(5s);
    EXPECT_EQ(log.texts, (std::vector<std::string>{"Disconnecting\u2026", ""}));
    EXPECT_TRUE(state.connectedKeys.get().empty());
    EXPECT_TRUE(state.recentKeys.empty());
    EXPECT_TRUE(h.mac.sidecar().connectedNames().empty());
    EXPECT_EQ(playedNames(h.mac.soundPlayer()),
              (std::vector<std::string>{"WaterBubble.aiff", "WaterBubble_rev.aiff"}));
}

TEST(DockFlows, MirroringAConnectedScreenAndATelevisionFromScratch) {
    DockHarness h;
    auto& state = h.start();
    const auto tv = h.device("Living Room");
    state.mirror(tv);
    h.advance(20s);
    EXPECT_EQ(h.mac.frameworks().tvConnectPolicy(), 1);
    EXPECT_TRUE(state.mirroredKeys.get().contains(tv.id));
    EXPECT_EQ(state.status.get(), "");
    EXPECT_TRUE(state.occupied.get().empty());

    state.connect(tv, Side::left);  // only moves: the mirror ends first
    h.advance(5s);
    EXPECT_FALSE(state.mirroredKeys.get().contains(tv.id));
    EXPECT_EQ(state.occupied.get().at(tv.id), Side::left);

    state.mirror(tv);
    EXPECT_EQ(state.status.get(), "Mirroring\u2026");
    h.advance(3s);
    EXPECT_TRUE(state.mirroredKeys.get().contains(tv.id));
    EXPECT_EQ(state.status.get(), "");
}

// A flow released as stuck must not, when it finally answers, end the flow
// that started after it.
TEST(DockFlows, ALateAnswerAfterTheStuckReleaseLeavesTheNextFlowAlone) {
    auto scenario = defaultScenario();
    scenario.sidecarDevices[0].connect.delayMs = 100'000;
    DockHarness h(scenario);
    auto& state = h.start();
    state.autoReconnect.set(false);
    state.connect(h.device("Studio iPad"), Side::right);
    h.advance(79s);
    EXPECT_FALSE(state.busy.get());
    EXPECT_EQ(state.status.get(), "Studio iPad never answered \u2014 nothing changed. Try again.");

    h.advance(20s);
    const auto tv = h.device("Living Room");
    state.mirror(tv);
    const auto period = state.busySince;
    h.advance(2500ms);  // the iPad answers, and its screen comes, while the television connects
    EXPECT_TRUE(state.busy.get());
    EXPECT_EQ(state.busyKey.get(), tv.id);
    EXPECT_EQ(state.busySince, period);
    EXPECT_EQ(state.status.get(), "Waiting for Living Room to hand over a screen\u2026");
}

TEST(DockFlows, TheStuckReleaseNamesWhatItGaveUpOn) {
    DockHarness h;
    auto& state = h.start();
    state.busy.set(true);
    state.busyKey.set("gone-device");
    state.busySince.reset();
    h.advance(100s);
    EXPECT_TRUE(state.busy.get()) << "a busy flag without a stamp is never released";

    state.busySince = h.scheduler.now();
    h.advance(78s);
    EXPECT_FALSE(state.busy.get());
    EXPECT_EQ(state.status.get(), "That took too long \u2014 nothing changed. Try again.");
}

TEST(DockFlows, PlacingOnTheVirtualDisplaysSideSaysSo) {
    DockHarness h;
    auto& state = h.start();
    ScenarioDisplay screen;
    screen.name = "Virtual";
    screen.bounds = Rect{0, 0, 1280, 800};
    screen.modes = {ScenarioMode{1, 1280, 800, 1280, 800, 60, true, false}};
    screen.currentMode = 1;
    h.virtualDisplay.publish(h.mac.windowServer().plugInExtending(screen));
    state.reconcile();
    ASSERT_EQ(state.occupied.get().at(kVirtualDeviceID), Side::right);

    state.place("sidecar", Side::right);
    EXPECT_EQ(state.status.get(), "the virtual display is already there");
    EXPECT_FALSE(state.busy.get());

    state.place(kVirtualDeviceID, Side::left);
    h.advance(1s);
    EXPECT_EQ(state.occupied.get().at(kVirtualDeviceID), Side::left);
    EXPECT_EQ(savedSide(h.defaults, kVirtualDeviceID), Side::left);
}

// A pin to the HiDPI mode of a size must win over the plain mode of that
// size, which has the same size and refresh.
TEST(DockFlows, ReapplyingSettingsHonoursAHiDPIPin) {
    DockHarness h;
    auto& state = h.start();
    const auto tv = h.device("Living Room");
    state.connect(tv, Side::right);
    h.advance(20s);
    const auto display = *externalDisplay(h.mac.windowServer(), h.virtualDisplay);
    const auto modes = displayModes(h.mac.windowServer(), display);
    const auto plain = std::ranges::find_if(
        modes, [](const DisplayMode& m) { return m.width == 1920 && !m.hidpi; });
    const auto hidpi = std::ranges::find_if(modes, [&](const DisplayMode& m) {
        return m.width == 1920 && m.hidpi && m.refresh == plain->refresh;
    });
    ASSERT_NE(plain, modes.end());
    ASSERT_NE(hidpi, modes.end());
    ASSERT_TRUE(setMode(h.mac.windowServer(), *plain, display));
    savePref(h.defaults, ModePref{1920, 1080, true, hidpi->refresh}, tv.id);

    state.reapplySettings();
    h.advance(1s);
    EXPECT_EQ(currentMode(h.mac.windowServer(), display), *hidpi);
}

}  // namespace
}  // namespace kd
