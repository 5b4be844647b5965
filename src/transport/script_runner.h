#pragma once

// Runs AppleScript through the script interpreter as a child process under a
// hard deadline.
//
// Contract:
// - Blocks until the child has ended and been reaped, so it must not be
//   called on the main thread; run it on a background queue.
// - Bounded: returns at most about 2.5 seconds after `timeout` (the child is
//   asked to terminate at the deadline, killed 2 seconds later, and its pipes
//   are drained for a bounded time). Nothing the run started outlives it.
// - Never throws for anything the child does.

#include <chrono>
#include <string>

#include "platform/script_interpreter.h"

namespace kd {

// `ok` is true exactly when the interpreter ran the script and exited with
// status 0. `out` is its standard output, or its standard error when the
// output is empty; neither is trimmed, and a stream that is not valid UTF-8
// counts as empty.
struct ScriptResult {
    bool ok = false;
    std::string out;
    friend bool operator==(const ScriptResult&, const ScriptResult&) = default;
};

inline constexpr std::chrono::seconds kDefaultScriptTimeout{45};

// What a script that ran out of time answers; whatever it printed is dropped.
inline constexpr const char* kScriptTimedOutText = "Screen Mirroring didn't answer in time";

// When the interpreter cannot be started, `out` names it and the reason.
ScriptResult runAppleScript(const ScriptInterpreter& interpreter, const std::string& script,
                            std::chrono::steady_clock::duration timeout = kDefaultScriptTimeout);

}  // namespace kd
