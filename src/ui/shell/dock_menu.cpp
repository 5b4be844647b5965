#include "ui/shell/dock_menu.h"

namespace kd {

std::vector<DockMenuItem> dockMenuItems(const std::vector<Device>& devices,
                                        const std::set<std::string>& connectedKeys,
                                        bool virtualDisplayRunning) {
    std::vector<DockMenuItem> items;
    for (std::size_t i = 0; i < devices.size() && i < kDockMenuDevices; ++i) {
        const auto& device = devices[i];
        const bool connected = connectedKeys.contains(device.id);
        items.push_back({DockMenuItem::Kind::device,
                         (connected ? "Disconnect " : "Connect ") + device.name, device.id});
    }
    if (!devices.empty()) items.push_back({DockMenuItem::Kind::separator, "", ""});
    items.push_back({DockMenuItem::Kind::virtualDisplay,
                     virtualDisplayRunning ? "Remove Virtual Display" : "Add Virtual Display", ""});
    return items;
}

}  // namespace kd
