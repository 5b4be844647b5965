#pragma once

// `do shell script "…" with administrator privileges`, the one form of the
// command the lid guard sends. It runs on the simulated Mac named by the
// environment variable KD_SIM_MAC_FOLDER: its password prompt answers as the
// Mac's state says (cancelled: error -128; refused: error -60005), and an
// allowed command line runs under /bin/bash with the Mac's stand-in tools
// first on the PATH. What the command prints comes back as osascript prints a
// `do shell script` result; a command that fails is an execution error
// carrying its standard error and exit status. Without a simulated Mac
// nothing runs.

#include <ostream>
#include <string_view>

namespace kd::osascript {

bool isAdminShellScript(std::string_view script);

// Returns the exit status; the streams get what osascript would print.
int runAdminShellScript(std::string_view script, std::ostream& out, std::ostream& err);

}  // namespace kd::osascript
