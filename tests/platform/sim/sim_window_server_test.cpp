#include <gtest/gtest.h>

#include "display/sim_screens.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

ScenarioDisplay externalScreen(DisplayID id, const std::string& name) {
    return screens::display(id, name, {1512, 0, 1920, 1080});
}

class SimWindowServerTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    SimMac mac{defaultScenario(), scheduler};
    SimWindowServer& server = mac.windowServer();

    DisplayError transaction(const std::function<DisplayError(ConfigRef)>& configure) {
        ConfigRef config = 0;
        if (const auto error = server.beginConfiguration(&config)) return error;
        if (const auto error = configure(config)) {
            server.cancelConfiguration(config);
            return error;
        }
        return server.completeConfiguration(config, ConfigureOption::permanently);
    }
};

TEST_F(SimWindowServerTest, ReconfigurationsSayWhatChanged) {
    server.plugIn(externalScreen(9, "DELL U2720Q"));
    std::vector<std::pair<DisplayID, ReconfigurationFlags>> told;
    const auto token = server.registerReconfigurationCallback(
        [&](DisplayID id, ReconfigurationFlags what) { told.emplace_back(id, what); });
    scheduler.runUntilIdle();
    EXPECT_EQ(transaction([&](ConfigRef c) { return server.configureOrigin(c, 9, -1920, 100); }),
              0);
    server.plugIn(externalScreen(10, "LG UltraFine"));
    server.unplug(9);
    scheduler.runUntilIdle();
    EXPECT_EQ(told, (std::vector<std::pair<DisplayID, ReconfigurationFlags>>{
                        {9, kDisplayMovedFlag}, {10, kDisplayAddFlag}, {9, kDisplayRemoveFlag}}));
}

TEST(SimWindowServerScenarioTest, AScenarioCanRefuseEveryConfiguration) {
    VirtualScheduler scheduler;
    auto scenario = defaultScenario();
    scenario.configuration.completeError = 1004;
    SimMac mac(scenario, scheduler);
    auto& server = mac.windowServer();
    for (int attempt = 0; attempt < 2; ++attempt) {
        ConfigRef config = 0;
        ASSERT_EQ(server.beginConfiguration(&config), 0);
        ASSERT_EQ(server.configureOrigin(config, 1, 10, 10), 0);
        EXPECT_EQ(server.completeConfiguration(config, ConfigureOption::permanently), 1004)
            << "attempt " << attempt;
    }
    EXPECT_EQ(server.bounds(1).x, 0);
}

TEST_F(SimWindowServerTest, AMirrorLeavesTheScreenListAndComesBackBesideItsMaster) {
    server.plugIn(externalScreen(9, "DELL U2720Q"));
    EXPECT_EQ(transaction([&](ConfigRef c) { return server.configureMirror(c, 9, 1); }), 0);
    EXPECT_EQ(server.mirrorsDisplay(9), 1u);
    const auto screens = server.screens();
    EXPECT_TRUE(std::none_of(screens.begin(), screens.end(),
                             [](const ScreenInfo& s) { return s.screenNumber == 9u; }));
    EXPECT_EQ(server.onlineDisplayList(16).size(), 2u) << "a hidden mirror is still online";

    EXPECT_EQ(transaction([&](ConfigRef c) { return server.configureMirror(c, 9, 0); }), 0);
    EXPECT_EQ(server.mirrorsDisplay(9), 0u);
    EXPECT_EQ(server.bounds(9).x, server.bounds(1).maxX());
    EXPECT_EQ(server.screens().size(), 2u);
}

TEST_F(SimWindowServerTest, AnUnregisteredCallbackIsNeverCalledEvenWhenAlreadyPosted) {
    int calls = 0;
    auto token =
        server.registerReconfigurationCallback([&](DisplayID, ReconfigurationFlags) { ++calls; });
    server.plugIn(externalScreen(9, "DELL U2720Q"));
    token.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(calls, 0);
}

TEST_F(SimWindowServerTest, UnplugingAMasterReleasesItsMirrors) {
    server.plugIn(externalScreen(9, "A"));
    server.plugIn(externalScreen(10, "B"));
    EXPECT_EQ(transaction([&](ConfigRef c) { return server.configureMirror(c, 10, 9); }), 0);
    server.unplug(9);
    EXPECT_EQ(server.mirrorsDisplay(10), 0u);
    EXPECT_EQ(server.screens().size(), 2u);
}

TEST(SimFrameworksTest, TheTVPolicySurvivesInTheWindowServer) {
    VirtualScheduler scheduler;
    SimMac mac(defaultScenario(), scheduler);
    const auto skyLight = mac.frameworks().openSkyLight();
    const auto connection = skyLight->mainConnectionID()();
    EXPECT_EQ(skyLight->setTVConnectDefaultPolicy()(connection, 4), 0);
    std::int32_t policy = -1;
    EXPECT_EQ(skyLight->getTVConnectDefaultPolicy()(connection, &policy), 0);
    EXPECT_EQ(policy, 4);
    EXPECT_NE(skyLight->getTVConnectDefaultPolicy()(connection + 1, &policy), 0)
        << "a connection the window server never gave out";
}

TEST(SimFrameworksTest, HDRSwitchesChangeTheScreensHeadroom) {
    VirtualScheduler scheduler;
    SimMac mac(defaultScenario(), scheduler);
    const auto coreDisplay = mac.frameworks().openCoreDisplay();
    ASSERT_TRUE(coreDisplay->supportsHDRMode()(1));
    coreDisplay->setHDRModeEnabled()(1, true);
    EXPECT_TRUE(coreDisplay->isHDRModeEnabled()(1));
    EXPECT_GT(mac.windowServer().screens().front().maximumExtendedDynamicRangeColorComponentValue,
              1.01);
    EXPECT_FALSE(coreDisplay->supportsHDRMode()(77));
}

}  // namespace
}  // namespace kd
