#pragma once

// Scripts that drive Control Centre through System Events: the generated
// Screen Mirroring toggle and mode-panel answer. They run on the simulated
// Mac the program is running on, reached through the socket named by the
// environment variable KD_SIM_CONTROL_CENTRE; the text sent is exactly the
// script given. With no such variable, or nothing listening there, they
// answer as on a Mac whose menu lacks the device and which never asks how a
// television should join: the toggle's "Device not found" error, the panel
// script's "none". A Mac that takes the script and does not answer within
// the script's own `with timeout of` fails it as osascript does.

#include <ostream>
#include <string_view>

namespace kd::osascript {

bool isControlCentreScript(std::string_view script);

// Returns the exit status; the streams get what osascript would print.
int runControlCentreScript(std::string_view script, std::ostream& out, std::ostream& err);

}  // namespace kd::osascript
