#pragma once

// Short spellings of display modes for the mode tables.

#include <vector>

#include "display/display_mode.h"

namespace kd::samples {

inline SystemDisplayMode systemMode(std::int32_t id, int width, int height, int pixelWidth,
                                    int pixelHeight, double refresh, bool usable = true) {
    return SystemDisplayMode{id, width, height, pixelWidth, pixelHeight, refresh, usable};
}

// A mode at 2x when `hidpi`, else at 1x.
inline DisplayMode mode(std::int32_t id, int width, int height, bool hidpi, double refresh) {
    const int scale = hidpi ? 2 : 1;
    return displayModeFrom(systemMode(id, width, height, width * scale, height * scale, refresh));
}

// The ids of `modes`, in order.
inline std::vector<std::int32_t> ids(const std::vector<DisplayMode>& modes) {
    std::vector<std::int32_t> out;
    out.reserve(modes.size());
    for (const auto& m : modes) out.push_back(m.id);
    return out;
}

}  // namespace kd::samples
