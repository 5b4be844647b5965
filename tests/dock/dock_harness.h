#pragma once

// A dock controller on a simulated Mac, on virtual time. The Screen
// Mirroring scripts go straight to the simulated Control Centre, as the
// stand-in interpreter would send them.

#include <chrono>
#include <memory>
#include <string>

#include "../display/sim_preferences.h"
#include "dock/dock_state.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/sim_platform.h"

namespace kd {

class DockHarness {
  public:
    explicit DockHarness(Scenario scenario = defaultScenario())
        : mac(std::move(scenario), scheduler),
          platform(
              testing::simPlatform(scheduler, mac, defaults, machine, KD_RESOURCES_DIR "/Sounds")),
          values(createProcessValues(platform.frameworks)) {}

    // `display` stands for the virtual display host's, when a test has one.
    DockState::Ports ports(const VirtualDisplayIdentity* display = nullptr) {
        return DockState::Ports{platform, *values, display != nullptr ? *display : virtualDisplay,
                                [this](const std::string& script) {
                                    const auto answer = mac.controlCentre().run(script);
                                    return ScriptResult{answer.status == 0, answer.out.empty()
                                                                                ? answer.err
                                                                                : answer.out};
                                }};
    }
    // The application's controller, with its scan done.
    DockState& start() {
        state = DockState::start(ports());
        scheduler.advance(std::chrono::seconds(2));
        return *state;
    }
    const Device& device(const std::string& name) const {
        for (const auto& device : state->scanner.devices.get()) {
            if (device.name == name) return device;
        }
        throw std::logic_error("no device named " + name);
    }
    void advance(std::chrono::milliseconds by) { scheduler.advance(by); }

    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac;
    testing::MachinePorts machine;
    Platform platform;
    std::unique_ptr<ProcessValues> values;
    VirtualDisplayIdentity virtualDisplay;
    std::unique_ptr<DockState> state;
};

}  // namespace kd
