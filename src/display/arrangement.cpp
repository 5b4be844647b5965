#include "display/arrangement.h"

#include <cstdint>

#include "display/configuration_transaction.h"
#include "display/inventory.h"

namespace kd {

namespace {

std::optional<DisplayID> target(const DisplayServices& displays,
                                const VirtualDisplayIdentity& virtualDisplay,
                                std::optional<DisplayID> display) {
    if (display) return display;
    return externalDisplay(displays, virtualDisplay);
}

std::optional<DisplayID> macPanel(const DisplayServices& displays,
                                  const VirtualDisplayIdentity& virtualDisplay, DisplayID target) {
    for (const auto id : onlineDisplays(displays)) {
        if (displays.isBuiltin(id)) return id;
    }
    // attachedDisplays already leaves the virtual display out.
    for (const auto& screen : attachedDisplays(displays, virtualDisplay)) {
        if (screen.id == target) continue;
        const auto bounds = displays.bounds(screen.id);
        if (bounds.minX() == 0 && bounds.minY() == 0) return screen.id;
    }
    return std::nullopt;
}

struct Origin {
    std::int32_t x;
    std::int32_t y;
};

Origin originBeside(const Rect& panel, const Rect& screen, Side side) {
    double x = 0;
    double y = panel.minY() + panel.height - screen.height;
    switch (side) {
        case Side::left:
            x = panel.minX() - screen.width;
            break;
        case Side::right:
            x = panel.minX() + panel.width;
            break;
        case Side::top:
            x = panel.midX() - screen.width * 0.5;
            y = panel.minY() - screen.height;
            break;
    }
    // The window server takes whole points; truncate toward zero.
    return Origin{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

}  // namespace

bool arrange(DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay, Side side,
             std::optional<DisplayID> display) {
    const auto screen = target(displays, virtualDisplay, display);
    if (!screen) return false;
    const auto panel = macPanel(displays, virtualDisplay, *screen);
    if (!panel) return false;
    const auto origin = originBeside(displays.bounds(*panel), displays.bounds(*screen), side);
    return applyConfiguration(displays, [&](ConfigRef config) {
        return displays.configureOrigin(config, *screen, origin.x, origin.y);
    });
}

bool isMirrored(const DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay,
                std::optional<DisplayID> display) {
    const auto screen = target(displays, virtualDisplay, display);
    return screen && displays.mirrorsDisplay(*screen) != 0;
}

bool setMirror(DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay, bool mirror,
               std::optional<DisplayID> display) {
    const auto screen = target(displays, virtualDisplay, display);
    if (!screen) return false;
    const auto panel = macPanel(displays, virtualDisplay, *screen);
    if (!panel) return false;
    return applyConfiguration(displays, [&](ConfigRef config) {
        return displays.configureMirror(config, *screen, mirror ? *panel : 0);
    });
}

}  // namespace kd
