#include "platform/linux/avahi_dns_sd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/avahi/receiver_process.h"
#include "platform/linux/curl_http_client.h"
#include "support/test_main_loop.h"
#include "transport/airplay_info.h"
#include "transport/airplay_receiver.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::ReceiverProcess;

// Announcing takes the daemon about a second of probing; the rest is room
// for a loaded sanitizer run. Reached only when a test fails.
constexpr auto kPatience = 20s;
constexpr const char* kType = "_airplay._tcp.";
constexpr const char* kDomain = "local.";

// What one browse reported, in order. Receivers of earlier tests may still
// be reported found, and then removed, while the daemon forgets them, so
// tests look for their own receivers by name.
struct BrowseLog {
    std::vector<std::string> found;
    std::vector<std::string> removed;
    std::vector<BrowsedService> services;

    DnsSd::BrowseEvents events() {
        return {[this](const BrowsedService& s, bool) {
                    found.push_back(s.name);
                    services.push_back(s);
                },
                [this](const BrowsedService& s, bool) { removed.push_back(s.name); }};
    }
    bool hasFound(const std::string& name) const { return count(found, name) > 0; }
    bool hasRemoved(const std::string& name) const { return count(removed, name) > 0; }
    const BrowsedService& service(const std::string& name) const {
        return *std::find_if(services.begin(), services.end(),
                             [&](const BrowsedService& s) { return s.name == name; });
    }
    static long count(const std::vector<std::string>& names, const std::string& name) {
        return std::count(names.begin(), names.end(), name);
    }
};

class AvahiDnsSdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("KD_PRIVATE_AVAHI")) {
            GTEST_SKIP() << "runs only beside the private avahi-daemon of private_avahi.sh";
        }
        std::string failure;
        dnsSd_ = AvahiDnsSd::connect(scheduler_, failure);
        ASSERT_TRUE(dnsSd_) << failure;
    }

    std::optional<ResolvedService> resolve(const BrowsedService& service) {
        bool finished = false;
        std::optional<ResolvedService> result;
        const auto handle =
            dnsSd_->resolve(service, 10s, [&](std::optional<ResolvedService> resolved) {
                finished = true;
                result = std::move(resolved);
            });
        EXPECT_TRUE(loop_.runUntil([&] { return finished; })) << "resolving " << service.name;
        return result;
    }

    TestMainLoop loop_{kPatience};
    ThreadScheduler scheduler_{loop_.poster()};
    std::unique_ptr<AvahiDnsSd> dnsSd_;
};

TEST_F(AvahiDnsSdTest, FindsAndResolvesPublishedReceivers) {
    ReceiverProcess livingRoom({"--name", "Living Room", "--port", "7001"});
    ReceiverProcess bedroom({"--name", "Bedroom TV", "--model", "LG-OLED55", "--deviceid",
                             "11:22:33:44:55:66", "--features", "0x1E", "--pi", "pi-id", "--psi",
                             "psi-id", "--port", "7002"});
    BrowseLog log;
    const auto browse = dnsSd_->browse(kType, kDomain, log.events());
    ASSERT_TRUE(
        loop_.runUntil([&] { return log.hasFound("Living Room") && log.hasFound("Bedroom TV"); }));

    std::map<std::string, Device> devices;
    for (const std::string name : {"Living Room", "Bedroom TV"}) {
        EXPECT_EQ(BrowseLog::count(log.found, name), 1) << "one report, whatever the interfaces";
        const BrowsedService& service = log.service(name);
        EXPECT_EQ(service.type, kType);
        EXPECT_EQ(service.domain, kDomain);
        const auto resolved = resolve(service);
        ASSERT_TRUE(resolved) << service.name;
        const auto device = receiverDevice(service.name, *resolved);
        ASSERT_TRUE(device) << service.name;
        devices.emplace(service.name, *device);
    }
    EXPECT_EQ(devices.at("Living Room"),
              Device("Living Room", "Living Room", DeviceKind::appletv, {"AA:BB:CC:DD:EE:FF"},
                     "AppleTV14,1", 0x5A7FFFF7, "kdtest.local", 7001));
    EXPECT_EQ(devices.at("Bedroom TV"), Device("Bedroom TV", "Bedroom TV", DeviceKind::tv,
                                               {"11:22:33:44:55:66", "PSI-ID", "PI-ID"},
                                               "LG-OLED55", 0x1E, "kdtest.local", 7002));
}

TEST_F(AvahiDnsSdTest, AWithdrawnReceiverIsReportedRemoved) {
    ReceiverProcess kitchen({"--name", "Kitchen", "--port", "7003"});
    BrowseLog log;
    const auto browse = dnsSd_->browse(kType, kDomain, log.events());
    ASSERT_TRUE(loop_.runUntil([&] { return log.hasFound("Kitchen"); }));

    EXPECT_EQ(kitchen.stop(), 0);
    ASSERT_TRUE(loop_.runUntil([&] { return log.hasRemoved("Kitchen"); }));
    EXPECT_EQ(BrowseLog::count(log.removed, "Kitchen"), 1);
}

TEST_F(AvahiDnsSdTest, ReadsTheInfoOfALiveReceiverOverHttp) {
    ReceiverProcess office({"--name", "Office", "--model", "AppleTV11,1", "--port", "7004"});
    BrowseLog log;
    const auto browse = dnsSd_->browse(kType, kDomain, log.events());
    ASSERT_TRUE(loop_.runUntil([&] { return log.hasFound("Office"); }));
    const auto resolved = resolve(log.service("Office"));
    ASSERT_TRUE(resolved);

    CurlHttpClient http;
    bool delivered = false;
    std::optional<AirPlayInfo> info;
    fetchAirPlayInfo(http, scheduler_, resolved->host, resolved->port,
                     [&](std::optional<AirPlayInfo> answer) {
                         delivered = true;
                         info = std::move(answer);
                     });
    ASSERT_TRUE(loop_.runUntil([&] { return delivered; }));
    EXPECT_EQ(info, (AirPlayInfo{"AppleTV11,1", "4k60", true, "21K79", "770.8.1"}));
}

TEST_F(AvahiDnsSdTest, NothingArrivesForADestroyedHandle) {
    ReceiverProcess hall({"--name", "Hall", "--port", "7005"});
    ReceiverProcess porch({"--name", "Porch", "--port", "7006"});
    BrowseLog kept;
    const auto keptBrowse = dnsSd_->browse(kType, kDomain, kept.events());
    ASSERT_TRUE(loop_.runUntil([&] { return kept.hasFound("Hall") && kept.hasFound("Porch"); }));

    // The daemon knows both now, so a new browse reports them at once: the
    // reports wait on the main queue while the handle goes.
    BrowseLog dropped;
    auto droppedBrowse = dnsSd_->browse(kType, kDomain, dropped.events());
    ASSERT_TRUE(loop_.waitForQueued(2));
    droppedBrowse.reset();
    loop_.runQueued();
    EXPECT_TRUE(dropped.found.empty());

    int droppedResolutions = 0;
    auto droppedResolution =
        dnsSd_->resolve(kept.service("Hall"), 10s, [&](auto) { ++droppedResolutions; });
    ASSERT_TRUE(loop_.waitForQueued(1));
    droppedResolution.reset();
    loop_.runQueued();
    EXPECT_EQ(droppedResolutions, 0);
}

TEST_F(AvahiDnsSdTest, AHandleMayBeDestroyedFromItsOwnCallback) {
    ReceiverProcess hall({"--name", "Attic", "--port", "7007"});
    ReceiverProcess porch({"--name", "Cellar", "--port", "7008"});
    // Ended by its first report of the two, as a scanner that stops.
    std::unique_ptr<ServiceBrowse> selfEnding;
    std::vector<std::string> selfEndingFound;
    selfEnding = dnsSd_->browse(kType, kDomain,
                                {[&](const BrowsedService& s, bool) {
                                     if (s.name != "Attic" && s.name != "Cellar") return;
                                     selfEndingFound.push_back(s.name);
                                     selfEnding.reset();
                                 },
                                 {}});
    BrowseLog kept;
    const auto keptBrowse = dnsSd_->browse(kType, kDomain, kept.events());
    ASSERT_TRUE(loop_.runUntil([&] { return kept.hasFound("Attic") && kept.hasFound("Cellar"); }));

    int calls = 0;
    std::unique_ptr<ServiceResolution> resolution;
    resolution = dnsSd_->resolve(kept.service("Cellar"), 10s, [&](auto resolved) {
        ++calls;
        EXPECT_TRUE(resolved);
        resolution.reset();
    });
    ASSERT_TRUE(loop_.runUntil([&] { return calls > 0; }));
    EXPECT_EQ(selfEndingFound.size(), 1u);
}

TEST_F(AvahiDnsSdTest, AResolutionNobodyAnswersEndsAtItsTimeout) {
    int calls = 0;
    std::optional<ResolvedService> result{ResolvedService{}};
    const auto start = std::chrono::steady_clock::now();
    const auto handle = dnsSd_->resolve({"Nobody Here", kType, kDomain}, 500ms,
                                        [&](std::optional<ResolvedService> resolved) {
                                            ++calls;
                                            result = std::move(resolved);
                                        });
    ASSERT_TRUE(loop_.runUntil([&] { return calls > 0; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(result);
}

}  // namespace
}  // namespace kd
