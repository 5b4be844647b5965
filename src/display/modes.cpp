#include "display/modes.h"

#include "display/configuration_transaction.h"
#include "display/mode_ladder.h"

namespace kd {

std::vector<DisplayMode> displayModes(const DisplayServices& displays,
                                      std::optional<DisplayID> display, bool hidden) {
    if (!display) return {};
    const auto systemModes = displays.allDisplayModes(*display, hidden);
    if (!systemModes) return {};
    return modeLadder(*systemModes);
}

std::optional<DisplayMode> currentMode(const DisplayServices& displays,
                                       std::optional<DisplayID> display) {
    if (!display) return std::nullopt;
    const auto system = displays.currentMode(*display);
    if (!system) return std::nullopt;
    return displayModeFrom(*system);
}

std::optional<DisplayMode> recommendedMode(const DisplayServices& displays,
                                           std::optional<DisplayID> display) {
    return recommendedFrom(displayModes(displays, display, true));
}

bool setMode(DisplayServices& displays, const DisplayMode& mode, std::optional<DisplayID> on) {
    if (!on) return false;
    return applyConfiguration(
        displays, [&](ConfigRef config) { return displays.configureMode(config, *on, mode.mode); });
}

}  // namespace kd
