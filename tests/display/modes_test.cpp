#include <gtest/gtest.h>

#include "display/mode_samples.h"

#include "display/modes.h"
#include "display/sim_screens.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using samples::ids;

constexpr DisplayID kDefaultPanel = 1;  // the default scenario's built-in panel

class ModesTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    SimMac mac{defaultScenario(), scheduler};
    SimWindowServer& server = mac.windowServer();

    DisplayMode ladderMode(std::int32_t id) {
        for (const auto& mode : displayModes(server, kDefaultPanel)) {
            if (mode.id == id) return mode;
        }
        ADD_FAILURE() << "no mode " << id;
        return {};
    }
};

TEST_F(ModesTest, ThePanelsLadderWithAndWithoutHiddenModes) {
    EXPECT_EQ(ids(displayModes(server, kDefaultPanel)),
              (std::vector<std::int32_t>{14, 15, 1, 2, 3, 4, 5, 6, 7, 16, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ids(displayModes(server, kDefaultPanel, false)),
              (std::vector<std::int32_t>{14, 15, 1, 2, 3, 4, 5, 6, 7, 16, 8, 9}));
}

TEST_F(ModesTest, CurrentAndRecommendedOfThePanel) {
    const auto current = currentMode(server, kDefaultPanel);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->label(), "1512 \u00d7 982 HiDPI \u00b7 120 Hz");
    EXPECT_EQ(recommendedMode(server, kDefaultPanel), current);
}

TEST_F(ModesTest, NoDisplayOrAnUnknownOneHasNothing) {
    EXPECT_TRUE(displayModes(server, std::nullopt).empty());
    EXPECT_TRUE(displayModes(server, 42).empty());
    EXPECT_FALSE(currentMode(server, std::nullopt));
    EXPECT_FALSE(currentMode(server, 42));
    EXPECT_FALSE(recommendedMode(server, std::nullopt));
    EXPECT_FALSE(recommendedMode(server, 42));
    EXPECT_FALSE(setMode(server, ladderMode(3), std::nullopt));
    EXPECT_FALSE(setMode(server, ladderMode(3), 42));
}

TEST_F(ModesTest, ASwitchTakesEffectAndIsAnnounced) {
    std::vector<DisplayID> told;
    const auto token =
        server.registerReconfigurationCallback([&](DisplayID id, ReconfigurationFlags) {
            EXPECT_TRUE(scheduler.onMainThread());
            told.push_back(id);
        });

    EXPECT_TRUE(setMode(server, ladderMode(3), kDefaultPanel));
    EXPECT_EQ(currentMode(server, kDefaultPanel), ladderMode(3));
    EXPECT_EQ(server.bounds(kDefaultPanel), (Rect{0, 0, 1800, 1169}));
    EXPECT_TRUE(told.empty()) << "callbacks wait for the main queue";
    scheduler.runUntilIdle();
    EXPECT_EQ(told, std::vector<DisplayID>{kDefaultPanel});
}

TEST_F(ModesTest, ASwitchBetweenTwoRatesOfOneID) {
    // A variable-refresh screen lists its one size under one id at two rates.
    constexpr DisplayID kStudio = 2;
    auto screen = screens::display(kStudio, "Studio Display", {1512, 0, 2560, 1440});
    screen.modes = {{40, 2560, 1440, 2560, 1440, 120, true, false},
                    {40, 2560, 1440, 2560, 1440, 60, true, false}};
    screen.currentMode = 40;
    screen.currentRefresh = 120;
    server.plugIn(screen);
    const auto ladder = displayModes(server, kStudio);
    ASSERT_EQ(ladder.size(), 2u);
    const auto& fast = ladder[0];
    const auto& slow = ladder[1];
    EXPECT_EQ(slow.label(), "2560 \u00d7 1440 \u00b7 60 Hz");
    EXPECT_EQ(currentMode(server, kStudio), fast);

    EXPECT_TRUE(setMode(server, slow, kStudio));
    EXPECT_EQ(currentMode(server, kStudio), slow);
    EXPECT_TRUE(setMode(server, fast, kStudio));
    EXPECT_EQ(currentMode(server, kStudio), fast);
}

TEST_F(ModesTest, AFailedSwitchSaysSoAndChangesNothing) {
    std::vector<DisplayID> told;
    const auto token = server.registerReconfigurationCallback(
        [&](DisplayID id, ReconfigurationFlags) { told.push_back(id); });
    const auto before = currentMode(server, kDefaultPanel);
    const auto boundsBefore = server.bounds(kDefaultPanel);

    server.failNextBegin(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMode(server, ladderMode(3), kDefaultPanel)) << "refused begin";
    server.failNextComplete(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMode(server, ladderMode(3), kDefaultPanel)) << "refused completion";
    auto foreign = ladderMode(3);
    foreign.mode.ioModeID = 999;
    EXPECT_FALSE(setMode(server, foreign, kDefaultPanel)) << "a mode the display does not have";
    auto slower = ladderMode(3);
    slower.mode.refreshRate = 30;
    EXPECT_FALSE(setMode(server, slower, kDefaultPanel)) << "a listed id at a rate not listed";

    EXPECT_EQ(currentMode(server, kDefaultPanel), before);
    EXPECT_EQ(server.bounds(kDefaultPanel), boundsBefore);
    scheduler.runUntilIdle();
    EXPECT_TRUE(told.empty());

    EXPECT_TRUE(setMode(server, ladderMode(3), kDefaultPanel)) << "nothing is left half-open";
}

}  // namespace
}  // namespace kd
