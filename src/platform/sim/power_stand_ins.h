#pragma once

// The simulated Mac's command-line tools for power management, as bash
// scripts that the simulated power manager writes into its folder's
// "sim/bin" (see sim_power_manager.h for the folder and what each tool does).

#include <string>
#include <vector>

namespace kd {

struct StandIn {
    std::string name;
    std::string text;
};

const std::vector<StandIn>& powerStandIns();

}  // namespace kd
