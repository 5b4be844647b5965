#pragma once

// Runs a shell command line as root after the system's password prompt: the
// AppleScript `do shell script "…" with administrator privileges`, run by the
// script interpreter as a child process.
//
// Blocks for as long as the prompt is open and the command runs, so call it
// on a background queue. Bounded by `timeout`; at the deadline the
// interpreter and everything it started are ended as the script runner ends
// a script.

#include <chrono>
#include <functional>
#include <string>

#include "platform/script_interpreter.h"

namespace kd {

struct AdminResult {
    bool ok = false;
    // The interpreter's standard error, trimmed: for a cancelled prompt it
    // holds the code -128.
    std::string err;
};

// How the lid guard reaches `runAdmin`; tests pass one that records.
using AdminRun = std::function<AdminResult(const std::string& command)>;

// Long enough for someone to find and type their password.
inline constexpr std::chrono::minutes kAdminPromptTimeout{5};

inline constexpr const char* kAdminLaunchFailedText = "could not launch osascript";
inline constexpr const char* kAdminTimedOutText = "the password prompt was not answered in time";

// The AppleScript line that runs `command` with administrator privileges.
std::string adminScript(const std::string& command);

AdminResult runAdmin(const ScriptInterpreter& interpreter, const std::string& command,
                     std::chrono::steady_clock::duration timeout = kAdminPromptTimeout);

}  // namespace kd
