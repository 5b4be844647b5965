#pragma once

// The door through which the stand-in script interpreter reaches the running
// simulated Mac's Control Centre: a Unix stream socket speaking the protocol
// of scripting/control_centre_wire.h. Opened by the application only; the
// self-test starts nothing in the background.
//
// Contract:
// - The socket lives in a folder made for it alone (mode 0700) under
//   $XDG_RUNTIME_DIR, or /tmp when that is unset or unusable. The
//   constructor throws std::system_error when no socket can be opened; the
//   destructor removes the socket and its folder.
// - Requests are served one at a time on the serial queue
//   kSimControlCentreQueueLabel, by a task that waits for a connection for at
//   most kPollInterval, serves it, and posts itself again until stopped: no
//   thread of its own. The scheduler must run tasks in real time (not
//   VirtualScheduler, where such a task never lets time move).
// - Reading a request and writing its reply are each bounded by
//   kConnectionPatience, so a client that stalls delays the next one by at
//   most twice that. A request that cannot be read is dropped unanswered.
// - The destructor stops the task and waits at most kStopPatience for one
//   that is serving; `controlCentre` must outlive this object.

#include <chrono>
#include <memory>
#include <string>

#include "platform/scheduler.h"
#include "platform/sim/sim_control_centre.h"

namespace kd {

class SimControlCentreSocket {
  public:
    static constexpr std::chrono::milliseconds kPollInterval{50};
    static constexpr std::chrono::seconds kConnectionPatience{1};
    static constexpr std::chrono::seconds kStopPatience{5};

    SimControlCentreSocket(SimControlCentre& controlCentre, Scheduler& scheduler);
    ~SimControlCentreSocket();
    SimControlCentreSocket(const SimControlCentreSocket&) = delete;
    SimControlCentreSocket& operator=(const SimControlCentreSocket&) = delete;

    // Absolute; what the interpreter finds in kControlCentreSocketVariable.
    const std::string& path() const { return path_; }

  private:
    struct Server;

    std::string folder_;
    std::string path_;
    std::shared_ptr<Server> server_;  // shared with the serving task
};

}  // namespace kd
