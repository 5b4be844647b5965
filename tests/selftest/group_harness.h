#pragma once

// A simulated Mac as the self-test groups see it, for tests of single groups.

#include "display/sim_preferences.h"
#include "model/process_values.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "selftest/self_test_context.h"
#include "support/sim_platform.h"

namespace kd {

// The groups' view of a simulated Mac whose user defaults are `defaults`.
class GroupHarness {
  public:
    GroupHarness(Preferences& defaults, Scenario scenario = defaultScenario())
        : mac_(std::move(scenario), scheduler_),
          // No group plays a sound.
          platform_(testing::simPlatform(scheduler_, mac_, defaults, machine_, "")),
          values_(createProcessValues(platform_.frameworks)),
          context_{platform_, *values_, ScriptInterpreter{}, WindowChecks{}} {
    }  // no group tested here runs a script

    SelfTestContext& context() { return context_; }

  private:
    VirtualScheduler scheduler_;
    SimMac mac_;
    testing::MachinePorts machine_;
    Platform platform_;
    std::unique_ptr<ProcessValues> values_;
    SelfTestContext context_;
};

}  // namespace kd
