#include "platform/sim/sim_control_centre.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "display/sim_screens.h"
#include "platform/sim/virtual_scheduler.h"
#include "transport/airplay_mode_script.h"
#include "transport/mirror_script.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr std::int32_t kAsk = 0;
constexpr std::int32_t kEntireScreen = 1;
constexpr std::int32_t kWindowOrApp = 2;
constexpr std::int32_t kExtended = 4;

constexpr const char* kLivingRoomID = "AA:BB:CC:DD:EE:FF";
constexpr const char* kLivingRoomRow = "screen-mirroring-device-AA:BB:CC:DD:EE:FF";
constexpr const char* kBedroomID = "11:22:33:44:55:66";
constexpr const char* kBedroomRow = "screen-mirroring-device-11:22:33:44:55:66";
constexpr DisplayID kBuiltIn = 1;  // screens::panel()

ScenarioAirPlayReceiver receiver(std::string name, std::string deviceID, std::string model) {
    ScenarioAirPlayReceiver r;
    r.name = std::move(name);
    r.deviceID = std::move(deviceID);
    r.model = std::move(model);
    return r;
}

std::vector<ScenarioAirPlayReceiver> livingRoomAndBedroom() {
    // Identifiers advertised in lower case still make upper-case rows.
    return {receiver("Living Room", "aa:bb:cc:dd:ee:ff", "AppleTV14,1"),
            receiver("Bedroom", kBedroomID, "UN65TU7000")};
}

class SimControlCentreTest : public ::testing::Test {
  protected:
    void start(std::int32_t tvPolicy,
               const std::vector<ScenarioAirPlayReceiver>& receivers = livingRoomAndBedroom(),
               const std::vector<ScenarioSidecarDevice>& iPads = {}) {
        centre.reset();
        sidecar.reset();
        policy = tvPolicy;
        server = std::make_unique<SimWindowServer>(std::vector{screens::panel()}, scheduler);
        sidecar = std::make_shared<SimSidecar>(iPads, *server, scheduler);
        centre = std::make_unique<SimControlCentre>(
            receivers, iPads, *server, *sidecar, [this] { return policy; }, scheduler);
    }
    void SetUp() override { start(kExtended); }

    ScriptAnswer toggle(const std::vector<std::string>& keys, MirrorIntent intent,
                        const std::vector<std::string>& excluded = {}) {
        return centre->run(toggleDeviceScript(keys, excluded, intent));
    }
    ScriptAnswer connect(const std::vector<std::string>& keys) {
        return toggle(keys, MirrorIntent::connect);
    }
    ScriptAnswer disconnect(const std::vector<std::string>& keys) {
        return toggle(keys, MirrorIntent::disconnect);
    }
    ScriptAnswer answerPanel(AirPlayMode mode, const std::string& name) {
        return centre->run(airPlayModeScript(mode, name, kAirPlayPanelWaitTicks));
    }

    // Online displays other than the Mac's own, mirrored ones included.
    std::vector<DisplayID> televisions() const {
        auto ids = server->onlineDisplayList(64);
        std::erase(ids, kBuiltIn);
        return ids;
    }
    DisplayID onlyTelevision() const {
        const auto ids = televisions();
        EXPECT_EQ(ids.size(), 1u);
        return ids.empty() ? 0 : ids.front();
    }

    VirtualScheduler scheduler;
    std::int32_t policy = kExtended;
    std::unique_ptr<SimWindowServer> server;
    std::shared_ptr<SimSidecar> sidecar;
    std::unique_ptr<SimControlCentre> centre;
};

const ScriptAnswer kQuietSuccess{};

TEST_F(SimControlCentreTest, ConnectBringsUpAnExtendedScreenOnceTheReceiverIsReady) {
    EXPECT_EQ(connect({kLivingRoomID}), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{kLivingRoomRow});
    scheduler.advance(1999ms);
    EXPECT_TRUE(televisions().empty()) << "the receiver takes its connect delay";
    scheduler.advance(1ms);

    const auto tv = onlyTelevision();
    EXPECT_EQ(server->mirrorsDisplay(tv), 0u);
    EXPECT_EQ(screens::names(*server),
              (std::vector<std::string>{"Built-in Retina Display", "Living Room"}));
    EXPECT_EQ(server->bounds(tv), (Rect{1512, 0, 1920, 1080})) << "right of the Mac's screen";
    const auto mode = server->currentMode(tv);
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->pixelWidth, 3840) << "an Apple TV 4K runs HiDPI at half its panel";
    EXPECT_FALSE(centre->panelShowing());
}

TEST_F(SimControlCentreTest, ThePolicyAtTheClickDecidesHowTheScreenJoins) {
    struct Case {
        const char* name;
        std::int32_t policy;
        bool mirrorsOnly;
        bool wantMirrored;
        bool wantPanel;
    };
    for (const auto& c : std::vector<Case>{
             {"extended", kExtended, false, false, false},
             {"entire screen", kEntireScreen, false, true, false},
             {"window or app", kWindowOrApp, false, true, false},
             {"ask", kAsk, false, true, true},
             {"no such policy", 3, false, true, true},
             {"receiver that only mirrors", kExtended, true, true, false},
             {"receiver that only mirrors is never asked", kAsk, true, true, false},
         }) {
        SCOPED_TRACE(c.name);
        auto receivers = livingRoomAndBedroom();
        receivers[0].mirrorsInsteadOfExtending = c.mirrorsOnly;
        start(c.policy, receivers);
        ASSERT_EQ(connect({kLivingRoomID}), kQuietSuccess);
        policy = kExtended;  // a later change does not alter a connection under way
        EXPECT_EQ(centre->panelShowing(), c.wantPanel);
        scheduler.advance(2s);
        const auto tv = onlyTelevision();
        EXPECT_EQ(server->mirrorsDisplay(tv), c.wantMirrored ? kBuiltIn : 0u);
        EXPECT_EQ(screens::names(*server).size(), c.wantMirrored ? 1u : 2u)
            << "a mirror leaves the screen list";
    }
}

TEST_F(SimControlCentreTest, ThePanelsCardDecidesWhetherWhenEverItIsAnswered) {
    struct Case {
        AirPlayMode card;
        bool beforeTheScreen;
        bool wantMirrored;
    };
    for (const auto& c : std::vector<Case>{{AirPlayMode::extend, true, false},
                                           {AirPlayMode::extend, false, false},
                                           {AirPlayMode::duplicate, true, true},
                                           {AirPlayMode::duplicate, false, true}}) {
        SCOPED_TRACE(std::string(c.card == AirPlayMode::extend ? "extend" : "duplicate") +
                     (c.beforeTheScreen ? " before" : " after"));
        start(kAsk);
        connect({kLivingRoomID});
        if (!c.beforeTheScreen) {
            scheduler.advance(2s);
            EXPECT_EQ(server->mirrorsDisplay(onlyTelevision()), kBuiltIn)
                << "mirrored while the panel asks";
        }
        EXPECT_EQ(answerPanel(c.card, "Living Room"), returnedText("chose"));
        EXPECT_FALSE(centre->panelShowing());
        scheduler.advance(2s);
        const auto tv = onlyTelevision();
        EXPECT_EQ(server->mirrorsDisplay(tv), c.wantMirrored ? kBuiltIn : 0u);
        if (!c.wantMirrored) {
            EXPECT_EQ(server->bounds(tv).x, 1512);
        }
    }
}

TEST_F(SimControlCentreTest, ThePanelIsAnsweredOnlyForItsOwnDevice) {
    EXPECT_EQ(answerPanel(AirPlayMode::extend, "Living Room"), returnedText("none"));
    connect({kLivingRoomID});
    EXPECT_EQ(answerPanel(AirPlayMode::extend, "Living Room"), returnedText("none"))
        << "an extended connection never asks";

    start(kAsk);
    connect({kLivingRoomID});
    EXPECT_EQ(answerPanel(AirPlayMode::extend, "Bedroom"), returnedText("other:Living Room"));
    EXPECT_TRUE(centre->panelShowing());
    EXPECT_EQ(answerPanel(AirPlayMode::extend, "LIVING"), returnedText("chose"))
        << "AppleScript's contains ignores case";
    EXPECT_FALSE(centre->panelShowing());

    connect({kBedroomID});
    EXPECT_EQ(answerPanel(AirPlayMode::extend, ""), returnedText("chose"))
        << "without a name any panel is taken";
}

TEST_F(SimControlCentreTest, AScreenDisconnectedOnItsWayNeverArrives) {
    start(kAsk);
    connect({kLivingRoomID});
    scheduler.advance(1s);
    disconnect({kLivingRoomID});
    EXPECT_FALSE(centre->panelShowing()) << "nothing left to ask about";
    connect({kLivingRoomID});
    scheduler.advance(1s);
    EXPECT_TRUE(televisions().empty()) << "the first connection's screen is gone for good";
    scheduler.advance(1s);
    EXPECT_EQ(televisions().size(), 1u) << "the second connection's screen comes on time";
}

TEST_F(SimControlCentreTest, ARowAlreadyAsAskedIsLeftAlone) {
    connect({kLivingRoomID});
    scheduler.advance(1s);
    EXPECT_EQ(connect({kLivingRoomID}), kQuietSuccess);
    scheduler.advance(1s);
    EXPECT_EQ(televisions().size(), 1u) << "the connection under way was not restarted";

    EXPECT_EQ(disconnect({kBedroomID}), kQuietSuccess);
    EXPECT_EQ(disconnect({"00:00:00:00:00:00"}), kQuietSuccess)
        << "a disconnect with no connected row to click has nothing to do";
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{kLivingRoomRow});
    EXPECT_EQ(televisions().size(), 1u);
}

// Characters before `piece`, as AppleScript counts them: the script holds
// Cyrillic text, so bytes would count more.
std::size_t charactersBefore(const std::string& script, const std::string& piece) {
    const auto bytes = script.find(piece);
    return static_cast<std::size_t>(
        std::count_if(script.begin(), script.begin() + static_cast<std::ptrdiff_t>(bytes),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U; }));
}

TEST_F(SimControlCentreTest, AKeyWithNoRowRaisesTheScriptsOwnError) {
    const auto script = toggleDeviceScript({"00:00:00:00:00:00"}, {}, MirrorIntent::connect);
    const auto answer = centre->run(script);
    const std::string raise = "error \"Device not found in Screen Mirroring menu\"";
    const auto from = charactersBefore(script, raise);
    EXPECT_EQ(answer,
              (ScriptAnswer{1, "",
                            std::to_string(from) + ":" + std::to_string(from + raise.size()) +
                                ": execution error: Device not found in Screen "
                                "Mirroring menu (-2700)\n"}));
    EXPECT_TRUE(centre->connectedRows().empty());
}

TEST_F(SimControlCentreTest, AHostileKeyMatchesOnlyItsLiteralSelf) {
    auto receivers = livingRoomAndBedroom();
    receivers.push_back(receiver("Quoted", "TV\"85", ""));
    start(kExtended, receivers);

    // Unescaped, this would read as two conditions, the second matching Living Room.
    EXPECT_EQ(connect({"X\" or idf contains \"AA"}).status, 1);
    EXPECT_TRUE(centre->connectedRows().empty());

    EXPECT_EQ(connect({"TV\"85"}), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{"screen-mirroring-device-TV\"85"});
}

TEST_F(SimControlCentreTest, WithoutMatchKeysTheFirstRowNotExcludedIsTaken) {
    EXPECT_EQ(toggle({}, MirrorIntent::connect), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{kLivingRoomRow});

    start(kExtended);
    EXPECT_EQ(toggle({}, MirrorIntent::connect, {kLivingRoomID}), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{kBedroomRow});

    // With both connected, the excluded one keeps its screen.
    connect({kLivingRoomID});
    scheduler.advance(2s);
    ASSERT_EQ(televisions().size(), 2u);
    EXPECT_EQ(toggle({}, MirrorIntent::disconnect, {kLivingRoomID}), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(), std::vector<std::string>{kLivingRoomRow});
    EXPECT_EQ(screens::names(*server),
              (std::vector<std::string>{"Built-in Retina Display", "Living Room"}));
}

TEST_F(SimControlCentreTest, OtherScriptsAreRefusedAndEveryScriptIsLogged) {
    const auto answer = centre->run("return 6 * 7");
    EXPECT_EQ(answer.status, 1);
    EXPECT_EQ(answer.out, "");
    EXPECT_TRUE(answer.err.starts_with("0:12: syntax error: ") &&
                answer.err.ends_with(" (-2740)\n"))
        << answer.err;
    const auto script = toggleDeviceScript({kBedroomID}, {}, MirrorIntent::connect);
    centre->run(script);

    const auto log = centre->receivedScripts();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].text, "return 6 * 7");
    EXPECT_EQ(log[0].answer, answer);
    EXPECT_EQ(log[1].text, script);
    EXPECT_EQ(log[1].answer, kQuietSuccess);
}

TEST_F(SimControlCentreTest, AnIPadsSidecarRowBringsItsScreenThroughSidecar) {
    ScenarioSidecarDevice iPad;
    iPad.name = "Studio iPad";
    iPad.identifier = "5D3C";
    iPad.config = ScenarioSidecarConfig{1366, 1024, 2, 60, false};
    start(kExtended, livingRoomAndBedroom(), {iPad});

    // The Sidecar match key picks the iPad's row and never a television's.
    EXPECT_EQ(connect({"Sidecar:"}), kQuietSuccess);
    EXPECT_EQ(centre->connectedRows(),
              std::vector<std::string>{"screen-mirroring-device-Sidecar:5D3C"});
    scheduler.advance(2s);
    EXPECT_EQ(screens::names(*server),
              (std::vector<std::string>{"Built-in Retina Display", "Sidecar Display (AirPlay)"}));
    EXPECT_EQ(sidecar->connectedNames(), std::vector<std::string>{"Studio iPad"});

    EXPECT_EQ(disconnect({"Sidecar:"}), kQuietSuccess);
    EXPECT_TRUE(centre->connectedRows().empty());
    EXPECT_EQ(screens::names(*server), std::vector<std::string>{"Built-in Retina Display"});
}

}  // namespace
}  // namespace kd
