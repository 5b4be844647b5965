#include "display/estimated_modes.h"

#include <array>
#include <cmath>

#include "display/display_mode.h"

namespace kd {

namespace {

// Even point sizes keep the HiDPI pixel size a whole number on both axes.
int evenScaled(double factor, int halfPixels) {
    return 2 * static_cast<int>(std::lround(factor * halfPixels * 0.5));
}

}  // namespace

std::vector<EstimatedMode> estimatedModes(const DeviceProfile& profile) {
    constexpr std::array kFactors = {1.0, 0.85, 0.72, 0.6};
    std::vector<EstimatedMode> modes;
    for (const auto factor : kFactors) {
        const auto width = evenScaled(factor, profile.pointWidth());
        const auto height = evenScaled(factor, profile.pointHeight());
        modes.push_back({sizeLabel(width, height, true), width, height, true});
    }
    modes.push_back({sizeLabel(profile.pixelWidth, profile.pixelHeight, false), profile.pixelWidth,
                     profile.pixelHeight, false});
    return modes;
}

}  // namespace kd
