#pragma once

// The tray icon's menu (the Mac's Dock-icon menu): a connect or disconnect
// item for each of the first four devices, then the virtual display.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/device.h"

namespace kd {

inline constexpr std::size_t kDockMenuDevices = 4;

struct DockMenuItem {
    enum class Kind { device, separator, virtualDisplay };
    Kind kind = Kind::separator;
    std::string text;
    std::string deviceKey;  // device items only
    friend bool operator==(const DockMenuItem&, const DockMenuItem&) = default;
};

std::vector<DockMenuItem> dockMenuItems(const std::vector<Device>& devices,
                                        const std::set<std::string>& connectedKeys,
                                        bool virtualDisplayRunning);

}  // namespace kd
