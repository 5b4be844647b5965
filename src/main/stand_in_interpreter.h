#pragma once

// Where this build's stand-in for the Mac's AppleScript interpreter is.

#include "platform/script_interpreter.h"

namespace kd {

// The stand-in next to the running executable; failing that, the one in the
// "libexec/kelvane-display" folder beside an installed copy's "bin". When
// neither exists the path still names the first, so running a script fails
// with a launch error that says where it was looked for.
ScriptInterpreter standInInterpreter();

}  // namespace kd
