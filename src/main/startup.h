#pragma once

// The process entry: reads the command line, builds the simulated Mac and
// the process-wide values, then runs the self-test or the application.

#include <ostream>

namespace kd {

// This application's user-defaults domain.
inline constexpr const char* kUserDefaultsDomain = "com.kelvane1.display";

// Returns the process's exit status. `argc` and `argv` go to the event loop.
int runProgram(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace kd
