#pragma once

// The map of screens in the main window, and the side each extended screen
// holds, from the reconciled connections. Pure.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display/screen_tile.h"
#include "display/side.h"
#include "model/device.h"
#include "platform/display_services.h"

namespace kd {

// A screen as the window server shows it now.
struct PlacedScreen {
    DisplayID id = 0;
    Rect bounds;
    bool mirrors = false;  // it mirrors another display
};

struct ScreenMapInputs {
    DisplayID macID = 0;
    Rect macBounds;
    std::string macName;
    // The device key each resolved screen belongs to.
    std::map<std::string, PlacedScreen> deviceScreens;
    // Devices whose screen mirrors the Mac: they have no tile of their own.
    std::set<std::string> mirroring;
    std::vector<Device> devices;
    std::optional<PlacedScreen> virtualScreen;  // when the virtual display runs
};

struct ScreenMap {
    std::vector<ScreenTile> tiles;
    std::map<std::string, Side> occupied;
};

// The Mac's tile first, then the devices' screens by key (a device no longer
// listed is named by its key), then the virtual display's. Screens that
// mirror hold no side.
ScreenMap screenMap(const ScreenMapInputs& inputs);

}  // namespace kd
