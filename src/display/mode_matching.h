#pragma once

// Finding the offered mode that best honours a pinned one. Pure.

#include <optional>
#include <vector>

#include "display/display_mode.h"
#include "display/mode_pref.h"

namespace kd {

// In order of preference: the first mode equal in size, HiDPI and refresh;
// else the same size and HiDPI at the nearest refresh (the earlier on a tie);
// else the first mode of the same size at all. Nothing when no mode has the
// pinned size.
std::optional<DisplayMode> matchMode(const ModePref& pref, const std::vector<DisplayMode>& modes);

}  // namespace kd
