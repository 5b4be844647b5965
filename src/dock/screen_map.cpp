#include "dock/screen_map.h"

#include "display/sides.h"

namespace kd {

namespace {

constexpr const char* kVirtualDisplayName = "Virtual Display";

}  // namespace

ScreenMap screenMap(const ScreenMapInputs& inputs) {
    ScreenMap map;
    std::map<std::string, Rect> bounds;
    for (const auto& [key, screen] : inputs.deviceScreens) {
        if (!screen.mirrors) bounds[key] = screen.bounds;
    }
    const bool virtualExtends = inputs.virtualScreen && !inputs.virtualScreen->mirrors;
    if (virtualExtends) bounds[kVirtualDeviceID] = inputs.virtualScreen->bounds;
    map.occupied = occupiedSides(bounds, inputs.macBounds);

    map.tiles.push_back(ScreenTile{inputs.macID, std::nullopt, inputs.macName, inputs.macBounds,
                                   true, std::nullopt});
    // A std::map walks its keys in ascending text order.
    for (const auto& [key, screen] : inputs.deviceScreens) {
        if (inputs.mirroring.contains(key)) continue;
        ScreenTile tile{screen.id, key, key, screen.bounds, false, std::nullopt};
        for (const auto& device : inputs.devices) {
            if (device.id != key) continue;
            tile.name = device.name;
            tile.kind = device.kind;
            break;
        }
        map.tiles.push_back(std::move(tile));
    }
    if (virtualExtends) {
        map.tiles.push_back(ScreenTile{inputs.virtualScreen->id, kVirtualDeviceID,
                                       kVirtualDisplayName, inputs.virtualScreen->bounds, false,
                                       std::nullopt});
    }
    return map;
}

}  // namespace kd
