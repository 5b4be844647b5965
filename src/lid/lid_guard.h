#pragma once

// The lid guard: keeps a MacBook working with its lid closed by switching
// system sleep off, guarded by a root watchdog that sleeps the Mac when the
// battery gets too hot. Turning it on or off needs the administrator
// password once.
//
// Contract:
// - Main thread only: every member, and every published value changes there.
// - The tools and the privileged commands run on background queues; their
//   results come back to the main queue. A request (`setAwake`, `sleepNow`)
//   made while one runs is ignored.
// - `refresh` reads the power manager in the background; asked again while a
//   reading runs, it reads once more after that one, so the newest state
//   always ends up published.
// - The ports outlive the guard. Work still running when the guard is
//   destroyed finishes without touching it.

#include <memory>
#include <string>
#include <vector>

#include "lid/lid_paths.h"
#include "lid/run_admin.h"
#include "model/published.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/system_tools.h"

namespace kd {

class LidGuard {
  public:
    struct Level {
        int id;  // the limit in °C
        std::string name;
        std::string hint;
    };
    // Safe, Balanced and Max, in that order.
    static const std::vector<Level>& levels();

    static constexpr const char* label = kLidGuardLabel;
    static constexpr const char* limitKey = "lidguard.limit";
    static constexpr int defaultLimit = 52;

    struct Ports {
        Scheduler& scheduler;
        const SystemTools& tools;
        Preferences& userDefaults;
        AdminRun admin;
    };

    LidGuard(Ports ports, LidPaths paths);

    // Sleep is disabled (the guard is on), as last read.
    const Published<bool>& awake() const { return awake_; }
    // Battery °C as last read; 0 when nothing could be read.
    const Published<int>& tempC() const { return tempC_; }
    const Published<bool>& busy() const { return busy_; }
    const Published<std::string>& status() const { return status_; }
    // The temperature in °C at which the watchdog sleeps the Mac.
    const Published<int>& limit() const { return limit_; }

    // Stores the limit and rewrites the configuration file at once, so a
    // running watchdog uses it from its next pass.
    void setLimit(int celsius);

    void refresh();
    void setAwake(bool on);
    // Turns the guard off and sleeps the Mac, whatever the outcome says.
    void sleepNow();

    const LidPaths& paths() const { return paths_; }

  private:
    struct Reading {
        bool awake = false;
        int tempC = 0;
    };
    static Reading readPowerState(const SystemTools& tools, const std::string& tempFile);
    void published(const Reading& reading);
    void finish(const AdminResult& result);

    Ports ports_;
    const LidPaths paths_;
    Published<bool> awake_{false};
    Published<int> tempC_{0};
    Published<bool> busy_{false};
    Published<std::string> status_;
    Published<int> limit_;
    bool reading_ = false;
    bool readAgain_ = false;
    // Tasks coming back to the main queue hold it weakly: gone means the
    // guard is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// What a finished turn-on or turn-off leaves in `status`.
std::string lidStatusText(const AdminResult& result);

}  // namespace kd
