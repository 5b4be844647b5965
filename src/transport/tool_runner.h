#pragma once

// Runs a small system tool and returns what it printed.
//
// Contract:
// - Blocks until the tool has ended, so it must not be called on the main
//   thread.
// - Bounded: a tool still running at `timeout` is ended as a script is
//   (SIGTERM, SIGKILL 2 seconds later) and yields the empty text.
// - Standard error is discarded, so a tool that writes a lot of it cannot
//   stall.
// - A tool that cannot be started, or whose output is not valid UTF-8,
//   yields the empty text. The exit status does not matter.

#include <chrono>
#include <string>
#include <vector>

namespace kd {

inline constexpr std::chrono::seconds kDefaultToolTimeout{5};

// `executable` is an absolute path.
std::string runTool(const std::string& executable, const std::vector<std::string>& arguments,
                    std::chrono::steady_clock::duration timeout = kDefaultToolTimeout);

}  // namespace kd
