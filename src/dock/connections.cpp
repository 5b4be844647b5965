#include "dock/connections.h"

#include <algorithm>

#include "display/inventory.h"
#include "display/resolution.h"

namespace kd {

ConnectionState readConnections(const DisplayServices& displays,
                                const VirtualDisplayIdentity& virtualDisplay,
                                const std::vector<Device>& devices,
                                const std::set<std::string>& believedConnected,
                                const std::optional<std::string>& busyKey,
                                const std::vector<std::string>& recent) {
    std::vector<AttachedDisplay> screens;
    for (auto& screen : attachedDisplays(displays, virtualDisplay)) {
        if (!screen.builtIn) screens.push_back(std::move(screen));
    }
    std::set<DisplayID> mirroringIDs;
    for (const auto& screen : screens) {
        if (displays.mirrorsDisplay(screen.id) != 0) mirroringIDs.insert(screen.id);
    }
    int hiddenExternals = 0;
    for (const auto id : onlineExternals(displays, virtualDisplay)) {
        const bool listed = std::ranges::any_of(
            screens, [id](const AttachedDisplay& screen) { return screen.id == id; });
        if (!listed) ++hiddenExternals;
    }
    return resolveConnections(devices, screens, mirroringIDs, hiddenExternals, believedConnected,
                              busyKey, recent);
}

}  // namespace kd
