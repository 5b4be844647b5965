#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "../display/sim_screens.h"
#include "platform/sim/sim_sidecar.h"
#include "platform/sim/sim_system_tools.h"
#include "platform/sim/virtual_scheduler.h"
#include "transport/sidecar_connection.h"
#include "transport/sidecar_devices.h"
#include "transport/sidecar_preflight.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBusy =
    "The iPad is still busy with the previous connection \u2014 give it a few seconds";

ScenarioSidecarDevice iPad(std::string name, std::string model, bool offers = true) {
    ScenarioSidecarDevice d;
    d.name = std::move(name);
    d.model = std::move(model);
    d.identifier = d.name + "-id";
    d.offersDisplay = offers;
    d.config = ScenarioSidecarConfig{1366, 1024, 2, 60, false};
    d.connect.delayMs = 100;
    return d;
}

Device device(std::string name, std::string model) {
    return Device(kSidecarDeviceID, std::move(name), DeviceKind::ipad, {"Sidecar:"},
                  std::move(model));
}

class SidecarTest : public ::testing::Test {
  protected:
    void start(std::vector<ScenarioSidecarDevice> iPads, ScenarioSidecar framework = {},
               ScenarioMac mac = {}) {
        sidecar = std::make_shared<SimSidecar>(iPads, server, scheduler);
        core = std::make_shared<SimSidecarCore>(framework, sidecar);
        tools = std::make_unique<SimSystemTools>(mac);
    }
    SidecarAccess access() { return SidecarAccess{core, scheduler}; }

    // Records each `done` with the virtual time it ran at, and whether it ran
    // on the main queue.
    struct Outcome {
        std::optional<std::string> failure;
        Scheduler::Duration at;
        bool onMain;
    };
    SidecarDone record() {
        return [this](std::optional<std::string> failure) {
            outcomes.push_back(
                {std::move(failure), scheduler.now() - begin, scheduler.onMainThread()});
        };
    }
    std::vector<std::string> preflight(const Device& d) {
        return sidecarPreflight(core.get(), SidecarPreflightProbes{server, virtualDisplay, *tools},
                                d);
    }
    VirtualScheduler scheduler;
    Scheduler::TimePoint begin = scheduler.now();
    SimWindowServer server{{screens::panel()}, scheduler};
    VirtualDisplayIdentity virtualDisplay;
    std::shared_ptr<SimSidecar> sidecar;
    std::shared_ptr<SimSidecarCore> core;
    std::unique_ptr<SimSystemTools> tools;
    std::vector<Outcome> outcomes;
};

TEST_F(SidecarTest, WithoutSidecarEverythingAnswersNoneAndNothingCallsBack) {
    const auto ipad = device("Studio iPad", "");
    const std::vector<std::pair<const char*, ScenarioSidecar>> cases = {
        {"missing class", {true, {"SidecarDisplayManager"}, true}},
        {"missing selector", {true, {"sharedManager"}, true}},
    };
    for (const auto& [label, framework] : cases) {
        start({iPad("Studio iPad", "iPad16,6")}, framework);
        EXPECT_TRUE(sidecarScans(core.get()).empty()) << label;
        EXPECT_FALSE(sidecarConnect(access(), ipad, std::nullopt, 2, record())) << label;
        EXPECT_FALSE(sidecarDisconnect(access(), ipad, record())) << label;
        EXPECT_EQ(
            preflight(ipad),
            std::vector<std::string>{"SidecarCore is unavailable on this macOS \u2014 using the "
                                     "Screen Mirroring menu instead"})
            << label;
    }
    // No framework at all.
    EXPECT_TRUE(sidecarScans(nullptr).empty());
    EXPECT_FALSE(
        sidecarConnect(SidecarAccess{nullptr, scheduler}, ipad, std::nullopt, 0, record()));
    scheduler.advance(10s);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_TRUE(sidecar->connectCalls().empty());
}

TEST_F(SidecarTest, ADeviceResolvesByModelThenNameThenTheFirstThatOffersADisplay) {
    start({iPad("Kitchen", "iPad13,1", false), iPad("Studio iPad", "iPad16,6"), iPad("Spare", "")});
    const auto name = [&](const Device& d) {
        const auto hit = sidecarDevice(core.get(), d);
        return hit ? hit->name() : std::string("(none)");
    };
    EXPECT_EQ(name(device("Whatever", "iPad13,1")), "Kitchen");  // model, though it offers none
    EXPECT_EQ(name(device("Spare", "iPad99,9")), "Spare");       // name, when no model matches
    EXPECT_EQ(name(device("Elsewhere", "iPad99,9")), "Studio iPad");  // the first that offers
    // An empty model never matches the iPad that reports none.
    EXPECT_EQ(name(device("Elsewhere", "")), "Studio iPad");

    start({iPad("Kitchen", "iPad13,1", false)});
    EXPECT_EQ(name(device("Elsewhere", "")), "(none)");
}

TEST_F(SidecarTest, ScansCarryTheProposedConfigurationOrItsAbsence) {
    auto bare = iPad("Spare", "iPad7,5", false);
    bare.config.reset();
    auto odd = iPad("Studio iPad", "iPad16,6");
    odd.config = ScenarioSidecarConfig{1366.9, 1024.5, 2, std::nullopt, true};
    start({odd, bare});
    EXPECT_EQ(sidecarScans(core.get()),
              (std::vector<SidecarScan>{{"Studio iPad", "iPad16,6", 1366, 1024, 2, 0, true, true},
                                        {"Spare", "iPad7,5", 0, 0, 1, 0, false, false}}));
}

TEST_F(SidecarTest, TheSavedSizeGoesToSidecarButNotItsRefreshRate) {
    start({iPad("Studio iPad", "iPad16,6")});
    const ModePref pref{2732, 2048, false, 120};
    ASSERT_TRUE(sidecarConnect(access(), device("Studio iPad", ""), pref, 0, record()));
    scheduler.advance(1s);
    const auto calls = sidecar->connectCalls();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_TRUE(calls[0].size && calls[0].scale);
    EXPECT_EQ(calls[0].size->width, 2732);
    EXPECT_EQ(calls[0].size->height, 2048);
    EXPECT_EQ(*calls[0].scale, 1.0);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].failure, std::nullopt);
    EXPECT_TRUE(outcomes[0].onMain);
    EXPECT_EQ(server.screens().back().frame, (Rect{1512, 0, 2732, 2048}));

    // Without a proposed configuration the preference cannot be applied.
    auto bare = iPad("Studio iPad", "iPad16,6");
    bare.config.reset();
    start({bare});
    ASSERT_TRUE(sidecarConnect(access(), device("Studio iPad", ""), pref, 0, record()));
    ASSERT_EQ(sidecar->connectCalls().size(), 1u);
    EXPECT_FALSE(sidecar->connectCalls()[0].size.has_value());
}

TEST_F(SidecarTest, StillBusyIsRetriedEveryTwoAndAHalfSecondsWhileRetriesLast) {
    struct Case {
        int busyTimes;
        int retries;
        std::size_t attempts;
        std::optional<std::string> failure;
        Scheduler::Duration doneAt;
    };
    // Each attempt answers 0.1 s after it starts; a retry starts 2.5 s later.
    const std::vector<Case> cases = {
        {5, 2, 3, kBusy, 5300ms},
        {2, 2, 3, std::nullopt, 5300ms},
        {5, 0, 1, kBusy, 100ms},
    };
    for (const auto& c : cases) {
        auto busy = iPad("Studio iPad", "iPad16,6");
        busy.connect.busyTimes = c.busyTimes;
        start({busy});
        outcomes.clear();
        begin = scheduler.now();
        ASSERT_TRUE(
            sidecarConnect(access(), device("Studio iPad", ""), std::nullopt, c.retries, record()));
        scheduler.advance(30s);
        EXPECT_EQ(sidecar->connectCalls().size(), c.attempts) << c.busyTimes << "/" << c.retries;
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].failure, c.failure);
        EXPECT_EQ(outcomes[0].at, c.doneAt);
        EXPECT_TRUE(outcomes[0].onMain);
    }
}

TEST_F(SidecarTest, ARetryThatCannotStartStillAnswersWithTheBusySentence) {
    auto busy = iPad("Studio iPad", "iPad16,6");
    busy.connect.busyTimes = 1;
    start({busy});
    ASSERT_TRUE(sidecarConnect(access(), device("Studio iPad", ""), std::nullopt, 1, record()));
    scheduler.advance(200ms);
    sidecar->remove("Studio iPad");  // gone before the retry
    scheduler.advance(5s);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].failure, kBusy);
}

TEST_F(SidecarTest, FailuresBecomeSentencesWithTheirCodeOnlyWhenUnexplained) {
    auto refused = iPad("Studio iPad", "iPad16,6");
    refused.connect.error = ScenarioSidecarError{12, "The display link dropped.", "ignored"};
    start({refused});
    ASSERT_TRUE(sidecarConnect(access(), device("x", ""), std::nullopt, 3, record()));
    scheduler.advance(1s);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].failure,
              "Sidecar refused the connection (12): The display link dropped.");
    EXPECT_EQ(sidecar->connectCalls().size(), 1u);  // only "still busy" is retried
    EXPECT_EQ(screens::names(server), std::vector<std::string>{"Built-in Retina Display"});
}

TEST_F(SidecarTest, DisconnectFallsBackToTheFirstConnectedIPad) {
    // Found by name, since it offers no further display.
    start({iPad("Studio iPad", "iPad16,6", false)});
    ASSERT_TRUE(sidecarConnect(access(), device("Studio iPad", ""), std::nullopt, 0, record()));
    scheduler.advance(1s);
    ASSERT_EQ(sidecar->connectedNames(), std::vector<std::string>{"Studio iPad"});

    // Matches no iPad by model, name or offer.
    const auto gone = device("Renamed", "iPad0,0");
    ASSERT_TRUE(sidecarDisconnect(access(), gone, record()));
    scheduler.advance(1s);
    EXPECT_TRUE(sidecar->connectedNames().empty());
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].failure, std::nullopt);
    EXPECT_TRUE(outcomes[1].onMain);
}

TEST_F(SidecarTest, PreflightListsEveryKnownObstacleInOrder) {
    ScenarioMac mac;
    mac.vpnConnected = true;
    mac.internetSharing = true;
    start({iPad("Kitchen", "iPad13,1", false)}, ScenarioSidecar{true, {}, false}, mac);
    server.plugIn(screens::display(5, "Living Room (AirPlay)", {1512, 0, 1920, 1080}));
    server.plugIn(screens::display(6, "Bedroom AirPlay", {3432, 0, 1920, 1080}));
    EXPECT_EQ(preflight(device("Studio iPad", "iPad16,6")),
              (std::vector<std::string>{
                  "This Mac doesn't support Sidecar",
                  "2 AirPlay screens are running \u2014 Sidecar can't start until they stop. "
                  "Sidecar has to come up first; televisions added afterwards are fine.",
                  "Studio iPad isn't paired for Sidecar \u2014 check both devices use the same "
                  "Apple Account, with Wi-Fi, Bluetooth and Handoff on",
                  "A VPN is connected \u2014 Sidecar often can't reach the iPad through it",
                  "Internet Sharing is on \u2014 turn it off, it blocks Sidecar"}));

    server.unplug(6);
    start({iPad("Studio iPad", "iPad16,6")});
    EXPECT_EQ(
        preflight(device("Studio iPad", "iPad16,6")),
        std::vector<std::string>{
            "Living Room (AirPlay) is sending over AirPlay \u2014 Sidecar can't start until "
            "it stops. Sidecar has to come up first; a television added afterwards is fine."});

    // Sidecar's own screen is no AirPlay screen, and a VPN that is only set
    // up ("Disconnected") is no obstacle.
    server.unplug(5);
    ASSERT_TRUE(sidecarConnect(access(), device("Studio iPad", ""), std::nullopt, 0, record()));
    scheduler.advance(1s);
    EXPECT_TRUE(preflight(device("Studio iPad", "iPad16,6")).empty());
}

}  // namespace
}  // namespace kd
