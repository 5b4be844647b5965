#pragma once

// The program that runs AppleScript: "/usr/bin/osascript" on a Mac; on Linux
// the stand-in built with this program. Chosen once at start-up and handed to
// the script runner, which starts it as `path -e SCRIPT`.

#include <string>
#include <utility>
#include <vector>

namespace kd {

struct ScriptInterpreter {
    std::string path;  // absolute
    // Name and value of each variable the interpreter gets on top of the
    // program's own environment, replacing one of the same name; on Linux,
    // where the simulated Mac's Control Centre is.
    std::vector<std::pair<std::string, std::string>> environment = {};
};

}  // namespace kd
