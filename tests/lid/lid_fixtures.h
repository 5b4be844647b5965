#pragma once

// What the lid guard's tests share: running command lines in the simulated
// Mac's privileged shell, and reading its command log.

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/sim/sim_power_manager.h"
#include "support/files.h"
#include "transport/child_process.h"

namespace kd::testing {

// Runs `command` as the simulated Mac's root would, once the password was given.
inline ChildRun runPrivileged(const SimPowerManager& mac, const std::string& command) {
    return runChild("/bin/bash", {"-c", command}, std::chrono::seconds(60), ErrorStream::capture,
                    mac.shellEnvironment());
}

using Command = std::vector<std::string>;

inline std::ptrdiff_t firstIndex(const SimPowerManager::CommandLog& log, const Command& command,
                                 std::ptrdiff_t from = 0) {
    const auto found = std::find(log.begin() + from, log.end(), command);
    return found == log.end() ? -1 : found - log.begin();
}

inline std::ptrdiff_t countOf(const SimPowerManager::CommandLog& log, const Command& command) {
    return std::count(log.begin(), log.end(), command);
}

// Generous: the watchdog's passes run real processes, on a busy machine
// under a sanitizer.
inline constexpr std::chrono::seconds kPatience{60};

inline bool waitForCount(const SimPowerManager& mac, const Command& command, std::ptrdiff_t count) {
    return mac.waitForCommands(
        [&](const SimPowerManager::CommandLog& log) { return countOf(log, command) >= count; },
        kPatience);
}

}  // namespace kd::testing
