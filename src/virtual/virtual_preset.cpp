#include "virtual/virtual_preset.h"

namespace kd {

std::string VirtualPreset::id() const {
    return std::to_string(width) + "x" + std::to_string(height);
}

const std::vector<VirtualPreset>& virtualPresets() {
    static const std::vector<VirtualPreset> presets{
        {"1080p", 1920, 1080},
        {"1440p", 2560, 1440},
        {"4K", 3840, 2160},
        {"Ultrawide", 3440, 1440},
        {"iPhone \u00b7 landscape", 1920, 884},
        {"iPhone \u00b7 portrait", 884, 1920},
        {"iPad \u00b7 landscape", 1194, 834},
        {"iPad \u00b7 portrait", 834, 1194},
        {"iPad 13\u2033", 1376, 1032},
    };
    return presets;
}

}  // namespace kd

std::size_t std::hash<kd::VirtualPreset>::operator()(
    const kd::VirtualPreset& preset) const noexcept {
    std::size_t seed = std::hash<std::string>{}(preset.label);
    for (const int part : {preset.width, preset.height}) {
        seed ^= std::hash<int>{}(part) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    }
    return seed;
}
