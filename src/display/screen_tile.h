#pragma once

// One screen in the map of screens. Its identity is the display id.

#include <optional>
#include <string>

#include "model/device.h"
#include "platform/display_services.h"

namespace kd {

struct ScreenTile {
    DisplayID id = 0;
    std::optional<std::string> key;  // the owning device's id; absent for the Mac's panel
                                     // and for screens no known device owns
    std::string name;
    Rect bounds;  // global points
    bool builtIn = false;
    std::optional<DeviceKind> kind;

    friend bool operator==(const ScreenTile&, const ScreenTile&) = default;
};

}  // namespace kd
