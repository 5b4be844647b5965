#include "display/device_display.h"

#include <algorithm>

#include "display/inventory.h"
#include "display/resolution.h"

namespace kd {

std::optional<DisplayID> displayID(const DisplayServices& displays,
                                   const VirtualDisplayIdentity& virtualDisplay,
                                   const DeviceSnapshot& snapshot, const Device& device) {
    auto copy = deviceSnapshot(snapshot);
    const bool known = std::any_of(copy.devs.begin(), copy.devs.end(),
                                   [&](const Device& d) { return d.id == device.id; });
    if (!known) copy.devs.insert(copy.devs.begin(), device);
    const auto attachments =
        resolveAttachments(copy.devs, attachedDisplays(displays, virtualDisplay), copy.recent);
    const auto found = attachments.find(device.id);
    if (found == attachments.end()) return std::nullopt;
    return found->second;
}

std::optional<DisplayID> anyDisplayID(const DisplayServices& displays,
                                      const VirtualDisplayIdentity& virtualDisplay,
                                      const DeviceSnapshot& snapshot, const Device& device) {
    if (const auto resolved = displayID(displays, virtualDisplay, snapshot, device)) {
        return resolved;
    }
    const auto mirrored = mirroredExternals(displays, virtualDisplay);
    if (mirrored.size() == 1) return mirrored.front();
    return std::nullopt;
}

}  // namespace kd
