#pragma once

// A virtual display host on a simulated Mac, on virtual time, with
// companions that record what the host asks of them.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/sim_platform.h"
#include "virtual/virtual_display_host.h"

namespace kd {

// What the browser share and the preview would be told, in order.
struct CompanionCall {
    enum class Kind { stopSharing, closePreview, startSharing, showPreview };
    Kind kind;
    DisplayID display = 0;  // for the two starts
    friend bool operator==(const CompanionCall&, const CompanionCall&) = default;
};

class VirtualHostHarness {
  public:
    explicit VirtualHostHarness(Scenario scenario = defaultScenario())
        : mac(std::move(scenario), scheduler),
          platform(testing::simPlatform(scheduler, mac, defaults, machine,
                                        KD_RESOURCES_DIR "/Sounds")) {}

    VirtualDisplayHost& host() {
        if (!host_) {
            host_ = std::make_unique<VirtualDisplayHost>(platform, [] { return 41u; });
            host_->setCompanions(companions());
        }
        return *host_;
    }
    void dropHost() { host_.reset(); }

    VirtualCompanions companions() {
        using Kind = CompanionCall::Kind;
        return VirtualCompanions{
            [this] { return sharing; },
            [this] { return previewing; },
            [this] {
                sharing = false;
                calls.push_back({Kind::stopSharing});
            },
            [this] {
                previewing = false;
                calls.push_back({Kind::closePreview});
            },
            [this](DisplayID id) {
                sharing = true;
                calls.push_back({Kind::startSharing, id});
            },
            [this](DisplayID id) {
                previewing = true;
                calls.push_back({Kind::showPreview, id});
            },
        };
    }

    // The sounds played, by file name without folder.
    std::vector<std::string> sounds() {
        std::vector<std::string> names;
        for (const auto& played : mac.soundPlayer().played()) {
            names.push_back(played.what.substr(played.what.find_last_of('/') + 1));
        }
        return names;
    }
    std::size_t created() {
        std::size_t count = 0;
        for (const auto& event : mac.virtualDisplays().history()) {
            if (event.kind == SimVirtualDisplayEvent::Kind::created) ++count;
        }
        return count;
    }
    bool online(DisplayID id) {
        const auto ids = mac.windowServer().onlineDisplayList(16);
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
    void advance(std::chrono::milliseconds by) { scheduler.advance(by); }

    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac;
    testing::MachinePorts machine;
    Platform platform;
    bool sharing = false;
    bool previewing = false;
    std::vector<CompanionCall> calls;

  private:
    std::unique_ptr<VirtualDisplayHost> host_;
};

}  // namespace kd
