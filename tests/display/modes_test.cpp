#include <gtest/gtest.h>

#include "display/modes.h"
#include "display/sim_screens.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

constexpr DisplayID kPanel = 1;  // the default scenario's built-in panel

std::vector<std::int32_t> ids(const std::vector<DisplayMode>& modes) {
    std::vector<std::int32_t> out;
    out.reserve(modes.size());
    for (const auto& mode : modes) out.push_back(mode.id);
    return out;
}

class ModesTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    SimMac mac{defaultScenario(), scheduler};
    SimWindowServer& server = mac.windowServer();

    DisplayMode ladderMode(std::int32_t id) {
        for (const auto& mode : displayModes(server, kPanel)) {
            if (mode.id == id) return mode;
        }
        ADD_FAILURE() << "no mode " << id;
        return {};
    }
};

TEST_F(ModesTest, ThePanelsLadderWithAndWithoutHiddenModes) {
    EXPECT_EQ(ids(displayModes(server, kPanel)),
              (std::vector<std::int32_t>{14, 15, 1, 2, 3, 4, 5, 6, 7, 16, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(ids(displayModes(server, kPanel, false)),
              (std::vector<std::int32_t>{14, 15, 1, 2, 3, 4, 5, 6, 7, 16, 8, 9}));
}

TEST_F(ModesTest, CurrentAndRecommendedOfThePanel) {
    const auto current = currentMode(server, kPanel);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->label(), "1512 \u00d7 982 HiDPI \u00b7 120 Hz");
    EXPECT_EQ(recommendedMode(server, kPanel), current);
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
        server.registerReconfigurationCallback([&](DisplayID id) { told.push_back(id); });

    EXPECT_TRUE(setMode(server, ladderMode(3), kPanel));
    EXPECT_EQ(currentMode(server, kPanel), ladderMode(3));
    EXPECT_EQ(server.bounds(kPanel), (Rect{0, 0, 1800, 1169}));
    scheduler.runUntilIdle();
    EXPECT_EQ(told, std::vector<DisplayID>{kPanel});
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
    const auto token =
        server.registerReconfigurationCallback([&](DisplayID id) { told.push_back(id); });
    const auto before = currentMode(server, kPanel);
    const auto boundsBefore = server.bounds(kPanel);

    server.failNextBegin(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMode(server, ladderMode(3), kPanel)) << "refused begin";
    server.failNextComplete(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMode(server, ladderMode(3), kPanel)) << "refused completion";
    auto foreign = ladderMode(3);
    foreign.mode.ioModeID = 999;
    EXPECT_FALSE(setMode(server, foreign, kPanel)) << "a mode the display does not have";

    EXPECT_EQ(currentMode(server, kPanel), before);
    EXPECT_EQ(server.bounds(kPanel), boundsBefore);
    scheduler.runUntilIdle();
    EXPECT_TRUE(told.empty());

    EXPECT_TRUE(setMode(server, ladderMode(3), kPanel)) << "nothing is left half-open";
}

}  // namespace
}  // namespace kd
