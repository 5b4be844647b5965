#pragma once

// The AppleScript that answers the system's AirPlay mode panel, the question
// "mirror or extend?" that the process "ControlCenterHelper" asks when a
// television starts receiving this Mac's screen.
//
// The script watches for the panel `waitTicks` times, 0.4 s apart (at least
// once), answers only a panel whose title names the device, picks the
// rightmost large card to extend or the leftmost to duplicate, and confirms.
// A layout it does not recognise is confirmed as preselected rather than left
// asking. All of it runs under a 25-second deadline. Its answer is one word,
// optionally followed by a colon and what it saw: "none", "other:<title>",
// "shape:<cards>/<buttons>", "confirmed", "noconfirm:<buttons>" or "chose".

#include <string>
#include <string_view>

#include "transport/airplay_mode.h"
#include "transport/applescript_run.h"

namespace kd {

// 60 ticks of 0.4 s watch the panel for the whole of a connection.
inline constexpr int kAirPlayPanelWaitTicks = 60;

std::string airPlayModeScript(AirPlayMode mode, std::string_view deviceName, int waitTicks);

// Runs the script through `run` and answers its output without surrounding
// white space. Blocks for as long as `run` does: call it on a background queue.
std::string chooseAirPlayMode(AirPlayMode mode, std::string_view deviceName,
                              const AppleScriptRun& run, int waitTicks = kAirPlayPanelWaitTicks);

}  // namespace kd
