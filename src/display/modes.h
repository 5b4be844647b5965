#pragma once

// A screen's modes through the window server: the ladder to choose from, the
// mode in use, the recommended one, and switching.
//
// Contract: callable from any thread (the window server's queries are), but
// `setMode` reconfigures the desktop and belongs on a background queue. An
// absent display gives an empty ladder, no mode and a failed switch; a display
// that reports no modes reads the same as an absent one.

#include <optional>
#include <vector>

#include "display/display_mode.h"
#include "platform/display_services.h"

namespace kd {

// `hidden` includes the HiDPI duplicates the system keeps out of its own list.
std::vector<DisplayMode> displayModes(const DisplayServices& displays,
                                      std::optional<DisplayID> display, bool hidden = true);

std::optional<DisplayMode> currentMode(const DisplayServices& displays,
                                       std::optional<DisplayID> display);

// The recommended rung of the full ladder, hidden modes included.
std::optional<DisplayMode> recommendedMode(const DisplayServices& displays,
                                           std::optional<DisplayID> display);

// One permanent configuration transaction. True only when it completed; on
// any failure the desktop is left as it was and a begun transaction is
// cancelled.
bool setMode(DisplayServices& displays, const DisplayMode& mode, std::optional<DisplayID> on);

}  // namespace kd
