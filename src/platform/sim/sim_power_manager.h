#pragma once

// The simulated Mac's power management: the sleep setting, the battery
// sensor, the thermal report, launchd's system daemons and the password
// prompt for administrator rights.
//
// Its state lives in files in the simulated Mac's own folder, a temporary
// folder made for this object and removed with it, because it is shared
// with real processes: the stand-ins for `pmset`, `ioreg`, `launchctl`,
// `stat`, `chown`, `rm`, `sleep` and the notification line of `osascript`,
// bash scripts in the folder's "sim/bin" that come first on the PATH of the
// simulated privileged shell. Commands run there (the stand-in script
// interpreter's `do shell script … with administrator privileges`, and the
// daemons launchd starts) see the Mac's "/Library" and "/tmp" under the
// folder: `root()` is what those paths are prefixed with.
//
// What the stand-ins do:
// - pmset: `-g` (with the SleepDisabled line), `-g therm` (CPU_Speed_Limit
//   when the scenario reports one), `-a disablesleep 0|1`, `sleepnow`.
// - ioreg: `-r -n AppleSmartBattery`, with the battery temperature in
//   hundredths of a degree; nothing without a battery.
// - launchctl: `bootstrap system PLIST` and `load -w PLIST` start the
//   plist's ProgramArguments as a daemon in a session of its own; `bootout
//   system/LABEL` and `unload -w PLIST` end it; `asuser UID COMMAND…` runs
//   the command. A label is loaded until it is booted out, even after its
//   program ended; loading it again fails.
// - stat: `-f %u /dev/console` (501); chown: `root:wheel FILE…`, taken as
//   done for files that exist; rm: the real one.
// - osascript: `-e 'display notification "…" with title "…" sound name "…"'`.
// - sleep: see `useSteppedClock`. A daemon whose simulator is gone (the
//   folder removed, or the process that made it ended) ends itself at its
//   next sleep.
// Every call is recorded in the command log.
//
// Thread-safe: every member may be called from any thread.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/scenario.h"
#include "platform/sim/sim_system_tools.h"
#include "platform/unique_fd.h"

namespace kd {

class SimPowerManager {
  public:
    // Makes the folder and answers "/usr/bin/pmset" and the battery query of
    // "/usr/sbin/ioreg" on `tools` through the stand-ins. Throws
    // std::system_error when the folder cannot be made.
    SimPowerManager(const ScenarioPower& power, SimSystemTools& tools);
    // Ends every daemon still running and removes the folder.
    ~SimPowerManager();
    SimPowerManager(const SimPowerManager&) = delete;
    SimPowerManager& operator=(const SimPowerManager&) = delete;

    const std::string& root() const { return root_; }
    // For the script interpreter's environment.
    std::pair<std::string, std::string> interpreterVariable() const;
    // The privileged shell's PATH, stand-ins first, for running its commands directly.
    std::vector<std::pair<std::string, std::string>> shellEnvironment() const;

    void setBatteryTemperature(std::optional<int> hundredths);
    // What the battery's "Temperature" line holds, verbatim: a sensor that
    // reports something other than whole hundredths.
    void setBatteryReading(const std::string& raw);
    void setCpuSpeedLimit(std::optional<int> percent);
    void setAdminPrompt(ScenarioAdminPrompt answer);

    bool sleepDisabled() const;
    int timesSlept() const;
    // The process id of the daemon loaded under `label`.
    std::optional<int> daemon(const std::string& label) const;

    // From now on every `sleep` a daemon makes waits for one `step`
    // (steps made before it waits are kept for it), up to 120 seconds.
    void useSteppedClock();
    void step();

    // Each call of a stand-in: its name, then its arguments.
    using CommandLog = std::vector<std::vector<std::string>>;
    CommandLog commands() const;
    // Waits until `done` holds for the log, for at most `patience`; false
    // when it never did.
    bool waitForCommands(const std::function<bool(const CommandLog&)>& done,
                         std::chrono::steady_clock::duration patience) const;

  private:
    void populate(const ScenarioPower& power);
    std::string state(const std::string& name) const;
    void setState(const std::string& name, const std::string& value) const;

    std::string root_;
    UniqueFd clock_;  // held open so steps wait in the pipe for a sleeper
};

}  // namespace kd
