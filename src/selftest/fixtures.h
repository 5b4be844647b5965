#pragma once

// The fixed inputs every self-test group shares.

#include <optional>
#include <string>
#include <utility>

#include "display/attached_display.h"
#include "display/screen_tile.h"
#include "model/device.h"

namespace kd::fixtures {

inline Device ipad() {
    return Device{"sidecar", "Test iPad", DeviceKind::ipad, {"Sidecar:"}, ""};
}
inline Device atv() {
    return Device{"Гостиная", "Гостиная", DeviceKind::appletv, {"ATV"}, "AppleTV14,1"};
}
inline Device tv() {
    return Device{"85\" Crystal UHD", "85\" Crystal UHD", DeviceKind::tv, {"TV"}, "UN85TU8000"};
}

inline AttachedDisplay screen(DisplayID id, std::string name, bool builtIn) {
    return AttachedDisplay{id, std::move(name), builtIn, 1920, 1080};
}
inline AttachedDisplay builtIn() {
    return screen(1, "Built-in Retina Display", true);
}
inline AttachedDisplay sidecarScreen() {
    return screen(23, "Sidecar Display (AirPlay)", false);
}

// The Mac's screen and extended screens beside it, in global points (y downward).
inline constexpr Rect mainScreen{0, 0, 2056, 1329};
inline constexpr Rect onLeft{-1600, 207, 1600, 1122};
inline constexpr Rect onRight{2056, 207, 1600, 1122};
inline constexpr Rect onTop{228, -1122, 1600, 1122};

inline ScreenTile tile(DisplayID id, std::optional<std::string> key, std::string name, Rect bounds,
                       bool builtIn) {
    return ScreenTile{id, std::move(key), std::move(name), bounds, builtIn, std::nullopt};
}

}  // namespace kd::fixtures
