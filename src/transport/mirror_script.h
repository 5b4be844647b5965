#pragma once

// The AppleScript that connects or disconnects an AirPlay device the way a
// user would: through Control Centre's Screen Mirroring menu, by System Events
// GUI scripting.
//
// Contract of the generated script:
// - every loop is counted and the whole script runs under a 20-second
//   deadline, so it always ends;
// - a row already in the wanted state is left alone, so a connect never turns
//   into a disconnect, nor the reverse;
// - when nothing was clicked and nothing was already done it ends with the
//   error "Device not found in Screen Mirroring menu".
//
// Rows are told apart by their accessibility identifier. With match keys, a row
// qualifies when its identifier contains any of them; without, any row that is
// not a Sidecar row and contains none of the exclude keys. Every key is placed
// inside a string literal with backslash and double quote escaped: the keys
// come from what receivers on the network advertise.

#include <string>
#include <vector>

#include "transport/applescript_run.h"

namespace kd {

enum class MirrorIntent { connect, disconnect };

std::string toggleDeviceScript(const std::vector<std::string>& matchKeys,
                               const std::vector<std::string>& excludeKeys, MirrorIntent intent);

// Builds the script and hands it to `run`, answering what `run` answers.
// Blocks for as long as `run` does, so it belongs on a background queue.
ScriptResult toggleDevice(const std::vector<std::string>& matchKeys,
                          const std::vector<std::string>& excludeKeys, MirrorIntent intent,
                          const AppleScriptRun& run);

}  // namespace kd
