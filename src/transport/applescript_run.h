#pragma once

// How the script generators hand their text on: the script in, the runner's
// result out. The program passes `runAppleScript` with its interpreter and the
// default 45-second deadline; tests pass a runner that records what it was
// given. Called on the caller's thread, and blocks for as long as it runs.

#include <functional>
#include <string>

#include "transport/script_runner.h"

namespace kd {

using AppleScriptRun = std::function<ScriptResult(const std::string& script)>;

}  // namespace kd
