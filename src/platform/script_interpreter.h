#pragma once

// The program that runs AppleScript: "/usr/bin/osascript" on a Mac; on Linux
// the stand-in built with this program. Chosen once at start-up and handed to
// the script runner, which starts it as `path -e SCRIPT`.

#include <string>

namespace kd {

struct ScriptInterpreter {
    std::string path;  // absolute
};

}  // namespace kd
