#include "display/hdr.h"

namespace kd {

namespace {

// Component values a hair above 1.0 are rounding, not headroom.
constexpr double kHeadroomThreshold = 1.01;

}  // namespace

std::optional<HDRState> hdrState(const DisplayServices& displays,
                                 std::optional<DisplayID> display) {
    if (!display) return std::nullopt;
    for (const auto& screen : displays.screens()) {
        if (screen.screenNumber != display) continue;
        const auto potential = screen.maximumPotentialExtendedDynamicRangeColorComponentValue;
        const auto current = screen.maximumExtendedDynamicRangeColorComponentValue;
        return HDRState{potential > kHeadroomThreshold, current > kHeadroomThreshold, current};
    }
    return std::nullopt;
}

bool hdrModeSupported(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib,
                      std::optional<DisplayID> display) {
    if (!display || !coreDisplayLib) return false;
    const auto supports = coreDisplayLib->supportsHDRMode();
    return supports && supports(*display);
}

bool hdrModeEnabled(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib,
                    std::optional<DisplayID> display) {
    if (!display || !coreDisplayLib) return false;
    const auto isEnabled = coreDisplayLib->isHDRModeEnabled();
    return isEnabled && isEnabled(*display);
}

bool setHDRMode(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib, bool enabled,
                std::optional<DisplayID> on) {
    if (!on || !coreDisplayLib) return false;
    const auto setEnabled = coreDisplayLib->setHDRModeEnabled();
    if (!setEnabled) return false;
    setEnabled(*on, enabled);
    return hdrModeEnabled(coreDisplayLib, on) == enabled;
}

}  // namespace kd
