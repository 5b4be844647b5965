#include "display/inventory.h"

#include <algorithm>

#include "model/text.h"

namespace kd {

namespace {

// Each public query reads the virtual display's id once and hands it to these,
// so that one answer is consistent even while the id is being republished.

bool isVirtualID(std::optional<DisplayID> virtualID, DisplayID display) {
    return virtualID && *virtualID == display;
}

std::vector<DisplayID> externals(const DisplayServices& displays,
                                 std::optional<DisplayID> virtualID) {
    std::vector<DisplayID> ids;
    for (const auto id : onlineDisplays(displays)) {
        if (!displays.isBuiltin(id) && !isVirtualID(virtualID, id)) ids.push_back(id);
    }
    return ids;
}

std::vector<AttachedDisplay> attached(const DisplayServices& displays,
                                      std::optional<DisplayID> virtualID) {
    std::vector<AttachedDisplay> list;
    for (const auto& screen : displays.screens()) {
        if (!screen.screenNumber || isVirtualID(virtualID, *screen.screenNumber)) continue;
        const auto id = *screen.screenNumber;
        list.push_back(AttachedDisplay{id, screen.localizedName, displays.isBuiltin(id),
                                       static_cast<int>(screen.frame.width),
                                       static_cast<int>(screen.frame.height)});
    }
    return list;
}

}  // namespace

std::vector<DisplayID> onlineDisplays(const DisplayServices& displays) {
    return displays.onlineDisplayList(kMaxOnlineDisplays);
}

std::optional<DisplayID> builtInDisplay(const DisplayServices& displays,
                                        const VirtualDisplayIdentity& virtualDisplay) {
    for (const auto& screen : attached(displays, virtualDisplay.current())) {
        if (screen.builtIn) return screen.id;
    }
    for (const auto id : onlineDisplays(displays)) {
        if (displays.isBuiltin(id)) return id;
    }
    return std::nullopt;
}

std::optional<DisplayID> externalDisplay(const DisplayServices& displays,
                                         const VirtualDisplayIdentity& virtualDisplay) {
    const auto ids = externals(displays, virtualDisplay.current());
    if (ids.empty()) return std::nullopt;
    return ids.front();
}

std::vector<DisplayID> onlineExternals(const DisplayServices& displays,
                                       const VirtualDisplayIdentity& virtualDisplay) {
    return externals(displays, virtualDisplay.current());
}

std::vector<AttachedDisplay> attachedDisplays(const DisplayServices& displays,
                                              const VirtualDisplayIdentity& virtualDisplay) {
    return attached(displays, virtualDisplay.current());
}

std::vector<DisplayID> mirroredExternals(const DisplayServices& displays,
                                         const VirtualDisplayIdentity& virtualDisplay) {
    const auto virtualID = virtualDisplay.current();
    const auto active = attached(displays, virtualID);
    std::vector<DisplayID> mirrored;
    for (const auto id : externals(displays, virtualID)) {
        const bool hidden = std::none_of(active.begin(), active.end(),
                                         [&](const AttachedDisplay& s) { return s.id == id; });
        if (hidden || displays.mirrorsDisplay(id) != 0) mirrored.push_back(id);
    }
    return mirrored;
}

std::vector<std::string> activeAirPlayScreens(const DisplayServices& displays,
                                              const VirtualDisplayIdentity& virtualDisplay) {
    std::vector<std::string> names;
    for (const auto& screen : attached(displays, virtualDisplay.current())) {
        if (screen.builtIn) continue;
        if (containsIgnoringCase(screen.name, "airplay") &&
            !containsIgnoringCase(screen.name, "sidecar")) {
            names.push_back(screen.name);
        }
    }
    return names;
}

}  // namespace kd
