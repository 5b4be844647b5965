#include "main/stand_in_interpreter.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace kd {

namespace {

constexpr const char* kStandInName = "kd-osascript";

bool isExecutable(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

ScriptInterpreter standInInterpreter() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {kStandInName};
    // Beside the program in a build or a copied folder; in the libexec
    // folder of an installed copy.
    const auto folder = self.parent_path();
    const std::vector<std::filesystem::path> candidates{
        folder / kStandInName, folder.parent_path() / "libexec" / "kelvane-display" / kStandInName};
    for (const auto& candidate : candidates) {
        if (isExecutable(candidate)) return {candidate.string()};
    }
    return {candidates.front().string()};
}

}  // namespace kd
