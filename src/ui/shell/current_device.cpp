#include "ui/shell/current_device.h"

#include <algorithm>

namespace kd {

std::optional<Device> currentDevice(const std::vector<Device>& devices,
                                    const std::set<std::string>& connectedKeys,
                                    const std::vector<std::string>& recentKeys) {
    const auto connected = [&](const Device& device) { return connectedKeys.contains(device.id); };
    for (const auto& key : recentKeys) {
        const auto found = std::find_if(devices.begin(), devices.end(), [&](const Device& device) {
            return device.id == key && connected(device);
        });
        if (found != devices.end()) return *found;
    }
    const auto firstConnected = std::find_if(devices.begin(), devices.end(), connected);
    if (firstConnected != devices.end()) return *firstConnected;
    if (!devices.empty()) return devices.front();
    return std::nullopt;
}

}  // namespace kd
