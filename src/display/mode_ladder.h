#pragma once

// Turning the system's raw mode list into the ladder a person chooses from,
// and picking the rung the system would recommend. Pure functions.

#include <optional>
#include <vector>

#include "display/display_mode.h"
#include "platform/display_services.h"

namespace kd {

// Keeps the desktop-usable modes that share the native aspect ratio (the
// native mode being the one with the most pixels, the first among equals),
// drops repeats of the same width, height, refresh and HiDPI (the first one
// stays), and orders the rest: wider first, HiDPI before plain at equal
// width, faster refresh first; ties keep the system's order. A mode without
// a size is not usable.
std::vector<DisplayMode> modeLadder(const std::vector<SystemDisplayMode>& systemModes);

// The mode to call native on a ladder: the HiDPI mode at exactly half the
// largest mode's size (fastest refresh), else the biggest HiDPI mode of the
// same shape (then fastest), else the largest mode itself. Nothing for an
// empty ladder; among full equals the earlier mode wins.
std::optional<DisplayMode> recommendedFrom(const std::vector<DisplayMode>& ladder);

}  // namespace kd
