#include <gtest/gtest.h>

#include <chrono>

#include "display/device_prefs.h"
#include "dock_harness.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

Scenario slowSidecar() {
    auto scenario = defaultScenario();
    scenario.sidecarDevices[0].connect.delayMs = 4000;  // longer than a tick
    return scenario;
}

// An iPad connected on the right, then dropped.
class AutoReconnect : public ::testing::Test {
  protected:
    void SetUp() override {
        state = &h.start();
        iPad = h.device("Studio iPad");
        state->connect(*iPad, Side::right);
        h.advance(10s);
        ASSERT_TRUE(state->connectedKeys.get().contains(iPad->id));
    }
    void drop() {
        h.mac.sidecar().drop("Studio iPad");
        h.scheduler.runUntilIdle();
    }

    DockHarness h{slowSidecar()};
    DockState* state = nullptr;
    std::optional<Device> iPad;
};

TEST_F(AutoReconnect, ADroppedIPadComesBackOnItsSavedSide) {
    saveSide(h.defaults, Side::left, iPad->id);
    drop();
    state->watchdogTick();
    EXPECT_EQ(state->reconnectAttempts, 1);
    EXPECT_EQ(state->reconnectingUntil, h.scheduler.now() + 60s);
    EXPECT_EQ(state->status.get(), "Reconnecting to Studio iPad\u2026");
    EXPECT_FALSE(state->busy.get()) << "the watch does not hold the controller busy";

    h.advance(7s);
    EXPECT_EQ(state->status.get(), "");
    EXPECT_EQ(state->occupied.get().at(iPad->id), Side::left);
    state->watchdogTick();
    EXPECT_EQ(state->reconnectAttempts, 0);
    EXPECT_FALSE(state->reconnectingUntil);
}

TEST_F(AutoReconnect, TurnedOffOrWatchingNothingTheTickMakesNoAttempt) {
    drop();
    state->autoReconnect.set(false);
    state->reconnectAttempts = 3;
    state->watchdogTick();
    EXPECT_EQ(state->reconnectAttempts, 3);

    state->autoReconnect.set(true);
    state->lastDevice = h.device("Living Room");
    state->watchdogTick();
    EXPECT_EQ(state->reconnectAttempts, 0);
    EXPECT_EQ(h.mac.sidecar().connectCalls().size(), 1U);
}

TEST_F(AutoReconnect, AnIPadThatKeepsDroppingPausesTheWatch) {
    drop();
    state->reconnectingUntil = h.scheduler.now() - 1s;
    state->reconnectAttempts = 7;
    state->watchdogTick();
    EXPECT_EQ(state->reconnectAttempts, 7);
    EXPECT_TRUE(state->lastDevice);

    state->reconnectAttempts = 8;
    state->watchdogTick();
    EXPECT_EQ(state->status.get(), "Studio iPad keeps dropping \u2014 auto-reconnect paused");
    EXPECT_FALSE(state->lastDevice);
    EXPECT_EQ(state->reconnectAttempts, 0);
    EXPECT_EQ(h.mac.sidecar().connectCalls().size(), 1U);
}

// Ticks come every 3 seconds and a Sidecar connect can take longer: one
// attempt at a time, and an attempt that ends after the user moved on to
// another device changes nothing of theirs.
TEST_F(AutoReconnect, AttemptsNeverOverlapNorOutliveTheUsersNextChoice) {
    saveSide(h.defaults, Side::left, iPad->id);
    drop();
    state->watchdogTick();
    state->watchdogTick();
    h.advance(3500ms);  // and a tick of the timer
    EXPECT_EQ(h.mac.sidecar().connectCalls().size(), 2U);
    EXPECT_EQ(state->reconnectAttempts, 1);

    state->connect(h.device("Living Room"), Side::right);
    h.advance(1s);  // the iPad's attempt succeeds meanwhile
    EXPECT_EQ(state->status.get(), "Waiting for Living Room to hand over a screen\u2026");
}

TEST_F(AutoReconnect, SleepResetsTheWindowAndWakeLooksAgain) {
    drop();
    state->reconnectAttempts = 5;
    state->reconnectingUntil = h.scheduler.now();
    h.mac.workspace().sleep();
    h.scheduler.runUntilIdle();
    EXPECT_EQ(state->reconnectAttempts, 0);
    EXPECT_FALSE(state->reconnectingUntil);

    state->autoReconnect.set(false);  // only the wake's own check may try
    state->say("old news");
    h.mac.workspace().wake();
    h.scheduler.runUntilIdle();
    EXPECT_EQ(state->status.get(), "");
    state->autoReconnect.set(true);
    const auto calls = h.mac.sidecar().connectCalls().size();
    h.advance(9s);
    EXPECT_EQ(h.mac.sidecar().connectCalls().size(), calls + 1);
}

}  // namespace
}  // namespace kd
