#pragma once

// How a television joins the desktop: as a screen of its own to the right of
// the Mac's (`extend`) or as a copy of it (`duplicate`).

namespace kd {

enum class AirPlayMode { extend, duplicate };

// The system's mode panel lays its cards out left to right, extend last.
constexpr bool wantsRightmostCard(AirPlayMode mode) {
    return mode == AirPlayMode::extend;
}

}  // namespace kd
