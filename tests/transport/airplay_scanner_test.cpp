#include "transport/airplay_scanner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "../display/sim_screens.h"
#include "platform/sim/sim_dns_sd.h"
#include "platform/sim/sim_read_only_preferences.h"
#include "platform/sim/sim_sidecar.h"
#include "platform/sim/sim_system_tools.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

ScenarioAirPlayReceiver receiver(std::string name, std::string model, std::string deviceID = "",
                                 bool resolves = true) {
    ScenarioAirPlayReceiver r;
    r.name = std::move(name);
    r.model = std::move(model);
    r.deviceID = std::move(deviceID);
    r.features = "0x5A7FFFF7,0x1E";
    r.host = "host-of-" + r.name.substr(0, 3) + ".local";
    r.port = 7000;
    r.resolves = resolves;
    return r;
}

ScenarioSidecarDevice iPad(std::string name, bool offers) {
    ScenarioSidecarDevice d;
    d.name = std::move(name);
    d.model = "iPad16,6";
    d.identifier = "id";
    d.offersDisplay = offers;
    return d;
}

std::vector<std::string> names(const std::vector<Device>& devices) {
    std::vector<std::string> out;
    for (const auto& d : devices) out.push_back(d.name);
    return out;
}

// One scanner on a simulated network, with Sidecar's iPads and the system's
// "recents" as each test needs them.
class AirPlayScannerTest : public ::testing::Test {
  protected:
    void start(std::vector<ScenarioAirPlayReceiver> receivers,
               std::vector<ScenarioSidecarDevice> iPads = {}, PrefArray recents = {},
               std::string hostName = "Studio MacBook Pro") {
        scanner.reset();
        network = std::make_unique<SimDnsSd>(receivers, scheduler);
        sidecar = std::make_shared<SimSidecar>(iPads, server, scheduler);
        core = std::make_shared<SimSidecarCore>(ScenarioSidecar{}, sidecar);
        settings = std::make_unique<SimReadOnlyPreferences>(
            PrefDict{{kSidecarRecentsKey, PrefValue(std::move(recents))}});
        ScenarioMac mac;
        mac.hostName = std::move(hostName);
        tools = std::make_unique<SimSystemTools>(mac);
        scanner = std::make_unique<AirPlayScanner>(
            AirPlayScanner::Ports{*network, scheduler, core, *settings, *tools, snapshot});
        scanner->start();
    }
    std::vector<std::string> listed() const { return names(scanner->devices.get()); }

    VirtualScheduler scheduler;
    SimWindowServer server{{screens::panel()}, scheduler};
    DeviceSnapshot snapshot;
    std::unique_ptr<SimDnsSd> network;
    std::shared_ptr<SimSidecar> sidecar;
    std::shared_ptr<SimSidecarCore> core;
    std::unique_ptr<SimReadOnlyPreferences> settings;
    std::unique_ptr<SimSystemTools> tools;
    std::unique_ptr<AirPlayScanner> scanner;
};

TEST_F(AirPlayScannerTest, NothingAroundEndsTheScanWindowWithAnEmptyList) {
    start({});
    EXPECT_TRUE(scanner->scanning.get());
    scheduler.advance(7900ms);
    EXPECT_TRUE(scanner->scanning.get());
    EXPECT_FALSE(scanner->searchedAndFoundNothing.get());
    scheduler.advance(100ms);
    EXPECT_FALSE(scanner->scanning.get());
    EXPECT_TRUE(scanner->searchedAndFoundNothing.get());
    EXPECT_TRUE(scanner->devices.get().empty());
}

TEST_F(AirPlayScannerTest, SidecarFirstThenResolvedByCodePointThenUnresolvedNames) {
    start({receiver("bedroom", "UN65TU7000", "11:22"),
           receiver("Living Room", "AppleTV14,1", "aa:bb"), receiver("Zimmer", "", "", false),
           receiver("Attic", "", "", false),
           receiver("Studio MacBook Pro (2)", "", "", false),  // this Mac's own receiver
           receiver("Office Mac", "Mac15,6", "33:44")},
          {iPad("Studio iPad", true)});
    EXPECT_EQ(listed(), std::vector<std::string>{"Studio iPad"});  // at once, before the network

    // Another Mac never shows, not even by name.
    scheduler.advance(1s);
    EXPECT_EQ(listed(), (std::vector<std::string>{"Studio iPad", "Living Room", "bedroom", "Attic",
                                                  "Zimmer"}));

    const auto& devices = scanner->devices.get();
    EXPECT_EQ(devices[1], Device("Living Room", "Living Room", DeviceKind::appletv, {"AA:BB"},
                                 "AppleTV14,1", 0x5A7FFFF7, "host-of-Liv.local", 7000));
    EXPECT_EQ(devices[2].kind, DeviceKind::tv);
    EXPECT_EQ(devices[3], Device("Attic", "Attic", DeviceKind::tv, {}, ""));
    EXPECT_EQ(scanner->knownKeys(), (std::vector<std::string>{"AA:BB", "11:22"}));
    EXPECT_EQ(deviceSnapshot(snapshot).devs, devices);
}

TEST_F(AirPlayScannerTest, OneIPadEntryCarriesSidecarsNameAndTheNetworksAddress) {
    auto bonjourIPad = receiver("Kitchen iPad", "iPad13,1", "55:66");
    bonjourIPad.host = "Kitchen-iPad.local";
    bonjourIPad.port = 7100;
    start({bonjourIPad, receiver("Living Room", "AppleTV14,1", "aa:bb")},
          {iPad("Studio iPad", true)});
    scheduler.advance(1s);
    const auto& devices = scanner->devices.get();
    ASSERT_EQ(listed(), (std::vector<std::string>{"Studio iPad", "Living Room"}));
    EXPECT_EQ(devices[0], Device(kSidecarDeviceID, "Studio iPad", DeviceKind::ipad, {"Sidecar:"},
                                 "iPad16,6", 0x5A7FFFF7, "Kitchen-iPad.local", 7100));

    // Without an iPad that offers a display, the system's recents keep the
    // entry, named after the network's iPad, or generically.
    start({bonjourIPad}, {iPad("Studio iPad", false)}, PrefArray{PrefValue("Studio iPad")});
    scheduler.advance(1s);
    EXPECT_EQ(scanner->devices.get(),
              (std::vector<Device>{Device(kSidecarDeviceID, "Kitchen iPad", DeviceKind::ipad,
                                          {"Sidecar:"}, "iPad13,1", 0x5A7FFFF7,
                                          "Kitchen-iPad.local", 7100)}));
    start({}, {}, PrefArray{PrefValue("Studio iPad")});
    EXPECT_EQ(scanner->devices.get(),
              (std::vector<Device>{
                  Device(kSidecarDeviceID, "iPad (Sidecar)", DeviceKind::ipad, {"Sidecar:"}, "")}));
    // Neither: the network's iPad stands as it is, and a placeholder named
    // like an iPad counts as one.
    start({bonjourIPad, receiver("Den iPad", "", "", false)}, {iPad("Studio iPad", false)});
    scheduler.advance(8s);
    EXPECT_EQ(listed(), (std::vector<std::string>{"Kitchen iPad", "Den iPad"}));
    EXPECT_EQ(scanner->devices.get()[1].kind, DeviceKind::ipad);
}

TEST_F(AirPlayScannerTest, AReceiverThatNeverResolvesShowsByNameAtTheRecheck) {
    start({receiver("Attic", "", "", false)});
    scheduler.advance(SimDnsSd::kAnnounceDelay + kUnresolvedRecheck - 1ms);
    EXPECT_TRUE(listed().empty());
    scheduler.advance(1ms);
    EXPECT_EQ(listed(), std::vector<std::string>{"Attic"});

    // Without a host name of our own, no receiver is taken for this Mac.
    start({receiver("Attic", "", "", false)}, {}, {}, "");
    scheduler.advance(8s);
    EXPECT_EQ(listed(), std::vector<std::string>{"Attic"});
}

TEST_F(AirPlayScannerTest, ARescanKeepsItsOwnScanWindowAndWhatItFound) {
    start({receiver("Living Room", "AppleTV14,1", "aa:bb")});
    scheduler.advance(6s);
    scanner->start();
    EXPECT_EQ(listed(), std::vector<std::string>{"Living Room"});  // kept across the restart
    scheduler.advance(2s);                                         // the first window's end
    EXPECT_TRUE(scanner->scanning.get());
    scheduler.advance(6s);
    EXPECT_FALSE(scanner->scanning.get());
    EXPECT_FALSE(scanner->searchedAndFoundNothing.get());
}

TEST_F(AirPlayScannerTest, AWithdrawnReceiverGoesAndItsLateResolutionCannotBringItBack) {
    start({receiver("Living Room", "AppleTV14,1", "aa:bb"), receiver("Bedroom", "", "11")});
    scheduler.advance(1s);
    network->withdraw("Living Room");
    scheduler.advance(1s);
    EXPECT_EQ(listed(), std::vector<std::string>{"Bedroom"});
    EXPECT_EQ(deviceSnapshot(snapshot).devs.size(), 1u);

    // Withdrawn while it was still being resolved.
    network->announce(receiver("Den", "AppleTV5,3", "77"));
    scheduler.advance(SimDnsSd::kAnnounceDelay + 10ms);  // found, resolving
    network->withdraw("Den");
    scheduler.advance(10s);
    EXPECT_EQ(listed(), std::vector<std::string>{"Bedroom"});
}

}  // namespace
}  // namespace kd
