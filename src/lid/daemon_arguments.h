#pragma once

// What launchd would run for the daemon: the ProgramArguments of its
// property list, read back as libplist reads it.

#include <optional>
#include <string>
#include <vector>

namespace kd {

// Nothing when the text is not a property list holding ProgramArguments as
// a list of strings.
std::optional<std::vector<std::string>> daemonProgramArguments(const std::string& plistText);

}  // namespace kd
