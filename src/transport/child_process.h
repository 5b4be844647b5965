#pragma once

// One child process run to its end under a deadline, with what it printed.
//
// Contract:
// - `runChild` blocks the calling thread until the child has exited and has
//   been reaped; no zombie is left behind.
// - The child starts in a process group of its own, with default signal
//   handling, standard input from /dev/null and the caller's environment,
//   plus `environment`'s entries (each replacing an inherited one of the
//   same name).
// - At the deadline the group is sent SIGTERM, and SIGKILL `kTerminationGrace`
//   later if the child is still there.
// - Both pipes are read while the child runs, so a child that prints more
//   than a pipe holds never stalls. Once the child has exited, whatever else
//   is left in its group is killed and the pipes are read to their end, for
//   at most `kDrainWindow` (a process that left the group may still hold
//   them).
// - Output is returned as raw bytes; decoding is the caller's business.

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kd {

inline constexpr std::chrono::seconds kTerminationGrace{2};
inline constexpr std::chrono::milliseconds kDrainWindow{500};

enum class ErrorStream { capture, discard };

// Names and values of environment variables.
using EnvironmentEntries = std::vector<std::pair<std::string, std::string>>;

struct ChildRun {
    std::optional<std::string> launchError;  // why it could not be started; then nothing ran
    bool timedOut = false;                   // still running at the deadline, so it was ended
    std::optional<int> exitCode;             // absent when a signal ended it
    std::string out;
    std::string err;  // empty when discarded
};

// `executable` is a path, not looked up in PATH; it is also the child's argv[0].
ChildRun runChild(const std::string& executable, const std::vector<std::string>& arguments,
                  std::chrono::steady_clock::duration timeout, ErrorStream errors,
                  const EnvironmentEntries& environment = {});

}  // namespace kd
