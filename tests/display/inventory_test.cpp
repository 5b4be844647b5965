#include "display/inventory.h"

#include <gtest/gtest.h>

#include "display/sim_screens.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using screens::display;
using screens::hiddenMirror;
using screens::panel;

class InventoryTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    VirtualDisplayIdentity virtualDisplay;

    std::vector<DisplayID> ids(const std::vector<AttachedDisplay>& list) {
        std::vector<DisplayID> out;
        out.reserve(list.size());
        for (const auto& s : list) out.push_back(s.id);
        return out;
    }
};

TEST_F(InventoryTest, NoDisplayOnlineMeansEveryAnswerIsEmpty) {
    SimWindowServer server({}, scheduler);
    EXPECT_TRUE(onlineDisplays(server).empty());
    EXPECT_TRUE(onlineExternals(server, virtualDisplay).empty());
    EXPECT_TRUE(mirroredExternals(server, virtualDisplay).empty());
    EXPECT_TRUE(attachedDisplays(server, virtualDisplay).empty());
    EXPECT_TRUE(activeAirPlayScreens(server, virtualDisplay).empty());
    EXPECT_EQ(externalDisplay(server, virtualDisplay), std::nullopt);
    EXPECT_EQ(builtInDisplay(server, virtualDisplay), std::nullopt);
}

TEST_F(InventoryTest, TheVirtualDisplayIsNeverAnExternalScreen) {
    auto virtualScreen = display(50, "Kelvane Virtual Display", {-1920, 0, 1920, 1080});
    virtualScreen.mirrorOf = 1;  // even while mirroring the panel
    SimWindowServer server(
        {virtualScreen, panel(), display(9, "DELL U2720Q", {1512, 0, 2560, 1440}),
         hiddenMirror(8, "Living Room", 1)},
        scheduler);

    EXPECT_EQ(externalDisplay(server, virtualDisplay), 50u) << "not yet published";
    virtualDisplay.publish(50);
    EXPECT_EQ(onlineDisplays(server), (std::vector<DisplayID>{50, 1, 9, 8}));
    EXPECT_EQ(externalDisplay(server, virtualDisplay), 9u);
    EXPECT_EQ(onlineExternals(server, virtualDisplay), (std::vector<DisplayID>{9, 8}));
    EXPECT_EQ(ids(attachedDisplays(server, virtualDisplay)), (std::vector<DisplayID>{1, 9}));
    EXPECT_EQ(mirroredExternals(server, virtualDisplay), (std::vector<DisplayID>{8}));

    virtualDisplay.publish(std::nullopt);
    EXPECT_EQ(externalDisplay(server, virtualDisplay), 50u) << "withdrawn again";
}

TEST_F(InventoryTest, AttachedScreensCarryNameKindAndWholePointSize) {
    SimWindowServer server({panel(), display(9, "DELL U2720Q", {1512, 0, 1366.75, 768.5}),
                            hiddenMirror(8, "Living Room", 1)},
                           scheduler);
    EXPECT_EQ(attachedDisplays(server, virtualDisplay),
              (std::vector<AttachedDisplay>{{1, "Built-in Retina Display", true, 1512, 982},
                                            {9, "DELL U2720Q", false, 1366, 768}}));
}

TEST_F(InventoryTest, APanelThatIsOnlineButNotActiveIsStillFound) {
    auto closedPanel = panel();
    closedPanel.active = false;
    closedPanel.mirrorOf = 9;
    SimWindowServer server({display(9, "DELL U2720Q", {0, 0, 2560, 1440}), closedPanel}, scheduler);
    EXPECT_EQ(builtInDisplay(server, virtualDisplay), 1u);
    EXPECT_EQ(externalDisplay(server, virtualDisplay), 9u);
    EXPECT_TRUE(mirroredExternals(server, virtualDisplay).empty()) << "the panel is no external";
}

TEST_F(InventoryTest, MirroredExternalsAreHiddenOnesAndActiveOnesThatMirror) {
    auto activeMirror = display(7, "Гостиная", {0, 0, 1920, 1080});
    activeMirror.mirrorOf = 1;
    SimWindowServer server({panel(), display(9, "DELL U2720Q", {1512, 0, 1920, 1080}),
                            hiddenMirror(8, "Living Room", 1), activeMirror},
                           scheduler);
    EXPECT_EQ(mirroredExternals(server, virtualDisplay), (std::vector<DisplayID>{8, 7}));
}

TEST_F(InventoryTest, OnlyActiveExternalAirPlayScreensAreNamed) {
    auto airPlayPanel = panel();
    airPlayPanel.name = "AirPlay Built-in";
    SimWindowServer server(
        {airPlayPanel, display(23, "Sidecar Display (AirPlay)", {1512, 0, 1366, 1024}),
         display(7, "ГОСТИНАЯ (AIRPLAY)", {0, -1080, 1920, 1080}),
         display(9, "DELL U2720Q", {-2560, 0, 2560, 1440}),
         hiddenMirror(8, "Kitchen (AirPlay)", 1)},
        scheduler);
    EXPECT_EQ(activeAirPlayScreens(server, virtualDisplay),
              (std::vector<std::string>{"ГОСТИНАЯ (AIRPLAY)"}));
}

TEST_F(InventoryTest, AtMostSixteenDisplaysAreListed) {
    std::vector<ScenarioDisplay> many;
    for (DisplayID id = 1; id <= 20; ++id) {
        many.push_back(display(id, "Screen " + std::to_string(id), {id * 2000.0, 0, 1920, 1080}));
    }
    SimWindowServer server(many, scheduler);
    const auto online = onlineDisplays(server);
    ASSERT_EQ(online.size(), kMaxOnlineDisplays);
    EXPECT_EQ(online.front(), 1u);
    EXPECT_EQ(online.back(), 16u);
}

}  // namespace
}  // namespace kd
