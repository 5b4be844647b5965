#pragma once

// Hands one script to the running simulated Mac's Control Centre over its
// Unix socket and waits, for a bounded time, for the answer.

#include <chrono>
#include <string>
#include <string_view>

#include "platform/sim/scripting/script_answer.h"

namespace kd::osascript {

struct ControlCentreReply {
    enum class Outcome {
        answered,     // `answer` holds what the script answered
        unreachable,  // nothing listens at the path
        timedOut,     // it took the request but did not answer within the patience
        broken,       // it hung up, or answered something that is no answer
    };
    Outcome outcome = Outcome::unreachable;
    ScriptAnswer answer;
};

ControlCentreReply askControlCentre(const std::string& socketPath, std::string_view script,
                                    std::chrono::steady_clock::duration patience);

}  // namespace kd::osascript
