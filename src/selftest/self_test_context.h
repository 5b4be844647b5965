#pragma once

#include "model/process_values.h"
#include "platform/platform.h"
#include "platform/script_interpreter.h"
#include "selftest/window_checks.h"

namespace kd {

// What the self-test groups read: the same ports and process-wide values the
// application would use.
struct SelfTestContext {
    Platform& platform;
    ProcessValues& values;
    ScriptInterpreter scriptInterpreter;
    WindowChecks windows;
};

}  // namespace kd
