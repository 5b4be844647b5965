#include "display/display_mode.h"

#include <cmath>
#include <limits>

namespace kd {

namespace {

int wholeHertz(double refreshRate) {
    // Truncation of NaN or of a value out of range is undefined, so such a
    // rate is treated as the unknown rate it really is.
    if (!std::isfinite(refreshRate) || refreshRate <= 0 ||
        refreshRate >= static_cast<double>(std::numeric_limits<int>::max())) {
        return 0;
    }
    return static_cast<int>(refreshRate);
}

}  // namespace

std::string sizeLabel(int width, int height, bool hidpi) {
    auto text = std::to_string(width) + " \u00d7 " + std::to_string(height);
    if (hidpi) text += " HiDPI";
    return text;
}

std::string DisplayMode::sizeLabel() const {
    return kd::sizeLabel(width, height, hidpi);
}

std::string DisplayMode::label() const {
    auto text = sizeLabel();
    if (refresh >= 1) text += " \u00b7 " + std::to_string(refresh) + " Hz";
    return text;
}

DisplayMode displayModeFrom(const SystemDisplayMode& system) {
    return DisplayMode{system.ioModeID,
                       system.width,
                       system.height,
                       system.pixelWidth,
                       system.pixelHeight,
                       wholeHertz(system.refreshRate),
                       system.width < system.pixelWidth,
                       system};
}

}  // namespace kd
