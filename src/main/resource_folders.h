#pragma once

// Where the folders the program ships beside itself are: "Sounds" (the
// connection sounds) and "SystemSounds" (the alert sounds that stand in on
// Linux for the Mac's own).

#include <filesystem>
#include <string_view>

namespace kd {

inline constexpr std::string_view kSoundsFolderName = "Sounds";
inline constexpr std::string_view kSystemSoundsFolderName = "SystemSounds";

// The folder `name` beside the program in `executableFolder` (a build or a
// copied folder), else in "share/kelvane-display" beside an installed copy's
// "bin". When neither exists the path names the first: what it holds is then
// missing, which leaves sounds silent.
std::filesystem::path findResourceFolder(std::string_view name,
                                         const std::filesystem::path& executableFolder);

// findResourceFolder for the running program.
std::filesystem::path resourceFolder(std::string_view name);

}  // namespace kd
