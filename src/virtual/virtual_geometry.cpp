#include "virtual/virtual_geometry.h"

#include <algorithm>
#include <cmath>

namespace kd {

namespace {

constexpr int kSmallestWidth = 320;
constexpr int kSmallestHeight = 240;

// Twice the half, rounded half away from zero: the nearest even side.
int evenScaled(double factor, int side) {
    return 2 * static_cast<int>(std::lround(factor * side * 0.5));
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "\u00d7" + std::to_string(height);
}

}  // namespace

std::vector<PixelSize> virtualModeLadder(int width, int height, bool hidpi) {
    std::vector<PixelSize> ladder;
    if (hidpi) ladder.push_back({width / 2 / 2 * 2, height / 2 / 2 * 2});
    ladder.push_back({width, height});
    for (const double factor : {0.85, 0.75}) {
        const PixelSize scaled{evenScaled(factor, width), evenScaled(factor, height)};
        if (scaled.width < kSmallestWidth || scaled.height < kSmallestHeight) continue;
        if (std::find(ladder.begin(), ladder.end(), scaled) != ladder.end()) continue;
        ladder.push_back(scaled);
    }
    return ladder;
}

double millimetresAt110PerInch(int pixels) {
    return pixels / 110.0 * 25.4;
}

std::string actualModeText(const SystemDisplayMode& mode) {
    auto text = sizeText(mode.width, mode.height);
    if (mode.width < mode.pixelWidth) {
        text += " \u00b7 Retina " + sizeText(mode.pixelWidth, mode.pixelHeight);
    }
    return text;
}

}  // namespace kd
