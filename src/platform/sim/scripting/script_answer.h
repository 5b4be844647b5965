#pragma once

// What the AppleScript interpreter answers for a script it ran: its exit
// status and the two streams, written the way osascript writes them. Shared
// by the simulated Control Centre and the stand-in interpreter, so a script
// answers alike whichever of them ran it.
//
// Pure; any thread.

#include <string>
#include <string_view>

#include "platform/sim/scripting/control_centre_script.h"

namespace kd {

struct ScriptAnswer {
    int status = 0;
    std::string out;
    std::string err;
    friend bool operator==(const ScriptAnswer&, const ScriptAnswer&) = default;
};

// AppleScript's number for an error raised without one of its own.
inline constexpr int kRaisedErrorNumber = -2700;
inline constexpr int kUnknownTokenErrorNumber = -2740;
inline constexpr int kTimedOutErrorNumber = -1712;
inline constexpr int kConnectionInvalidErrorNumber = -609;

// A script that returned `value`: the value and a line feed, status 0.
ScriptAnswer returnedText(std::string_view value);

// "FROM:TO: execution error: MESSAGE (NUMBER)" and a line feed on standard
// error, status 1. FROM and TO count the characters of `script` before `at`'s
// ends as AppleScript counts them (UTF-16 code units), not bytes.
ScriptAnswer executionError(std::string_view script, ScriptSpan at, std::string_view message,
                            int number);

// The same for an error found before anything ran ("syntax error").
ScriptAnswer syntaxError(std::string_view script, ScriptSpan at, std::string_view message,
                         int number);

// What a Mac answers whose Screen Mirroring menu has no row the script is
// after and which never shows the mode panel: the toggle's own "Device not
// found" error, or the panel script's "none".
ScriptAnswer answerWithoutDevice(std::string_view script, const ControlCentreScript& recognised);

}  // namespace kd
