#pragma once

// The simulated Mac's own folder, as the simulator that makes it and the
// stand-in script interpreter that runs privileged commands in it both see
// it. The folder stands for the Mac's "/" where its system folders
// ("Library", "tmp") are concerned, and holds the simulator's own files
// under "sim".

namespace kd {

// The environment variable through which the script interpreter learns the folder.
inline constexpr const char* kSimMacFolderVariable = "KD_SIM_MAC_FOLDER";

// Stand-ins for the Mac's tools, first on the PATH of the privileged shell.
inline constexpr const char* kSimToolsSubfolder = "sim/bin";

// One word: how the next administrator password prompt is answered,
// "allow", "cancel" or "fail".
inline constexpr const char* kSimAdminPromptFile = "sim/state/admin-prompt";

}  // namespace kd
