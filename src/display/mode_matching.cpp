#include "display/mode_matching.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kd {

std::optional<DisplayMode> matchMode(const ModePref& pref, const std::vector<DisplayMode>& modes) {
    const auto sameSize = [&](const DisplayMode& mode) {
        return mode.width == pref.width && mode.height == pref.height;
    };
    const auto sameKind = [&](const DisplayMode& mode) {
        return sameSize(mode) && mode.hidpi == pref.hidpi;
    };
    // In 64 bits, so no pinned refresh can overflow the difference.
    const auto distance = [&](const DisplayMode& mode) {
        return std::llabs(std::int64_t{mode.refresh} - pref.refresh);
    };

    const DisplayMode* nearest = nullptr;
    for (const auto& mode : modes) {
        if (!sameKind(mode)) continue;
        if (mode.refresh == pref.refresh) return mode;
        if (nearest == nullptr || distance(mode) < distance(*nearest)) nearest = &mode;
    }
    if (nearest != nullptr) return *nearest;

    const auto any = std::find_if(modes.begin(), modes.end(), sameSize);
    if (any != modes.end()) return *any;
    return std::nullopt;
}

}  // namespace kd
