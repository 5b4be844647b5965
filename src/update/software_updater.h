#pragma once

// The program's own updates: it reads the update feed (UpdateFeed), says in
// one line whether a newer version exists, looks by itself about once a day
// while the user lets it, and before a relaunch into a new version hands
// every device and the virtual display back (handBackBeforeRelaunch).
//
// Contract:
// - Main thread only: every member is called there, every published field
//   changes there, and subscribers are told there. The windows read every
//   published field and set only `automaticallyChecks`, which is stored on
//   every change.
// - The feed is fetched on a background queue through the HTTP port, within
//   kFeedTimeout; the answer is read there and comes back on the main
//   queue, where it does nothing once the updater is gone.
// - One check at a time: `checkForUpdates` while `checking` does nothing.
//   Every check ends with `checking` false, `status` set and `lastCheck`
//   stamped, whatever the server did.
// - `state` and `virtualDisplay` are set by the application when it has
//   them, and must outlive the updater. The ports must too.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/published.h"
#include "platform/platform.h"
#include "update/update_check.h"

namespace kd {

class DockState;
class VirtualDisplayHost;

inline constexpr const char* kAutomaticallyChecksKey = "UpdateAutomaticChecks";
inline constexpr const char* kLastUpdateCheckKey = "UpdateLastCheck";  // seconds since 1970

inline constexpr std::chrono::seconds kFeedTimeout{30};
// Automatic checks: the first look a minute after `start`, then one every
// hour, which checks the feed once a day has passed since the last check.
// Looking by the wall clock each hour, rather than sleeping for a day, keeps
// the rhythm across sleep and clock changes.
inline constexpr std::chrono::minutes kFirstAutomaticLook{1};
inline constexpr std::chrono::hours kAutomaticLookInterval{1};
inline constexpr std::chrono::hours kAutomaticCheckInterval{24};

using WallTime = std::chrono::sys_seconds;

// True when an automatic check is due: never checked, a day or more since,
// or a last check in the future (the clock was set back).
bool automaticCheckDue(std::optional<WallTime> lastCheck, WallTime now);

class SoftwareUpdater {
  public:
    using WallClock = std::function<WallTime()>;

    // Reads `automaticallyChecks` (on unless stored off) and `lastCheck`;
    // schedules nothing until `start`. `currentVersion` is the running
    // program's, such as "1.3.2".
    SoftwareUpdater(Platform& platform, std::string currentVersion,
                    WallClock wallClock = systemWallClock);
    ~SoftwareUpdater();
    SoftwareUpdater(const SoftwareUpdater&) = delete;
    SoftwareUpdater& operator=(const SoftwareUpdater&) = delete;

    static WallTime systemWallClock();

    Published<bool> checking{false};
    // One line for the settings: empty before the first check, then
    // kCheckingForUpdatesText while one runs, then its outcome
    // (updateStatusLine).
    Published<std::string> status;
    // The newer version found by the last check that read the feed, as people
    // are shown it; a check that failed leaves it as it was.
    Published<std::optional<std::string>> availableVersion;
    Published<bool> automaticallyChecks{true};
    Published<std::optional<WallTime>> lastCheck;

    DockState* state = nullptr;
    VirtualDisplayHost* virtualDisplay = nullptr;

    // Starts the automatic checks; a second call does nothing.
    void start();
    // The user's own check ("Check for Updates…"), whether or not automatic
    // checks are on.
    void checkForUpdates();
    // Before relaunching into a new version: disconnects every connected
    // device of `state`, one after another and each within
    // kDisconnectPatience, then stops `virtualDisplay`, then calls `done` on
    // the main queue (handBackBeforeRelaunch).
    void prepareForRelaunch(std::function<void()> done);

  private:
    void look();
    void checked(const UpdateCheckResult& result);

    Platform& platform_;
    const std::string currentVersion_;
    const WallClock wallClock_;
    bool started_ = false;
    TimerHandle lookTimer_;
    Published<bool>::Subscription automaticSubscription_;
    // Scheduled tasks hold it weakly: they run only while the updater lives.
    std::shared_ptr<SoftwareUpdater*> self_ = std::make_shared<SoftwareUpdater*>(this);
};

}  // namespace kd
