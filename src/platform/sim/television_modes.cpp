#include "platform/sim/television_modes.h"

namespace kd {
namespace {

constexpr int kUltraHDWidth = 3840;

int evenFraction(int pixels, int numerator, int denominator) {
    const int scaled = pixels * numerator / denominator;
    return scaled - scaled % 2;
}

struct Size {
    int width;
    int height;
    int scale;  // pixels per point
};

}  // namespace

TelevisionModes televisionModes(const std::optional<DeviceProfile>& profile) {
    const int width = profile ? profile->pixelWidth : 1920;
    const int height = profile ? profile->pixelHeight : 1080;
    const std::vector<int> rates = profile && !profile->refreshRates.empty()
                                       ? profile->refreshRates
                                       : std::vector<int>{60, 50, 30, 25, 24};
    const std::vector<Size> sizes{
        {width, height, 1},
        {evenFraction(width, 2, 3), evenFraction(height, 2, 3), 1},
        {evenFraction(width, 1, 2), evenFraction(height, 1, 2), 1},
        {evenFraction(width, 1, 2), evenFraction(height, 1, 2), 2},
        {evenFraction(width, 1, 3), evenFraction(height, 1, 3), 2},
    };
    const std::size_t currentSize = width >= kUltraHDWidth ? 3 : 0;

    TelevisionModes out;
    for (std::size_t s = 0; s < sizes.size(); ++s) {
        const auto& size = sizes[s];
        for (const int rate : rates) {
            const auto id = static_cast<std::int32_t>(out.modes.size() + 1);
            if (s == currentSize && out.currentMode == 0) out.currentMode = id;
            out.modes.push_back(ScenarioMode{id, size.width, size.height, size.width * size.scale,
                                             size.height * size.scale, static_cast<double>(rate),
                                             true, false});
        }
    }
    return out;
}

}  // namespace kd
