#pragma once

// Where this build's stand-in for the Mac's AppleScript interpreter is.

#include "platform/script_interpreter.h"

namespace kd {

// The stand-in installed next to the running executable; failing that, the
// one built with this program. When neither exists the path still names the
// first, so running a script fails with a launch error that says where it
// was looked for.
ScriptInterpreter standInInterpreter();

}  // namespace kd
