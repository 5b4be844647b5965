#pragma once

// A software updater on a simulated Mac, on virtual time, whose requests
// are recorded and reach only this machine's loopback feed servers; and
// such a server answering every request with one fixed reply.

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "platform/linux/curl_http_client.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/loopback_http_server.h"
#include "support/sim_platform.h"
#include "update/software_updater.h"
#include "update/update_feed.h"

namespace kd {

// Lets requests to 127.0.0.1 through to a real client and answers every
// other one with nothing, as an unreachable server would.
class RecordingHttpClient : public HttpClient {
  public:
    std::optional<HttpResponse> perform(const HttpRequest& request) override {
        {
            const std::lock_guard lock(mutex_);
            urls_.push_back(request.url);
        }
        if (!request.url.starts_with("http://127.0.0.1:")) return std::nullopt;
        return real_.perform(request);
    }
    std::vector<std::string> urls() const {
        const std::lock_guard lock(mutex_);
        return urls_;
    }

  private:
    CurlHttpClient real_;
    mutable std::mutex mutex_;
    std::vector<std::string> urls_;
};

inline std::unique_ptr<test::LoopbackHttpServer> serveFeed(int status, std::string body) {
    return std::make_unique<test::LoopbackHttpServer>(
        [status, body = std::move(body)](const test::LoopbackHttpServer::Request&,
                                         const test::LoopbackHttpServer::Connection& connection) {
            connection.send("HTTP/1.1 " + std::to_string(status) +
                            " Answer\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        });
}

inline std::string appcastListing(const std::string& version) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Kelvane Display</title><item><title>Version )" +
           version + "</title><sparkle:version>" + version +
           "</sparkle:version></item></channel></rss>";
}

class UpdaterHarness {
  public:
    UpdaterHarness()
        : mac(defaultScenario(), scheduler),
          platform(testing::simPlatform(scheduler, mac, defaults, machine,
                                        KD_RESOURCES_DIR "/Sounds", &http)),
          startedAt(scheduler.now()) {}

    // The wall clock runs with virtual time from a fixed date.
    WallTime wallNow() const {
        return wallStart + std::chrono::floor<std::chrono::seconds>(scheduler.now() - startedAt);
    }
    std::unique_ptr<SoftwareUpdater> updater(const std::string& version = "1.3") {
        return std::make_unique<SoftwareUpdater>(platform, version, [this] { return wallNow(); });
    }
    void useFeed(const test::LoopbackHttpServer& server) {
        defaults.set(UpdateFeed::urlDefaultsKey, server.url("/display/v1/appcast.xml"));
    }

    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac;
    testing::MachinePorts machine;
    RecordingHttpClient http;
    Platform platform;
    const Scheduler::TimePoint startedAt;
    const WallTime wallStart{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7}};
};

}  // namespace kd
