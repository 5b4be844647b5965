#include "display/mode_ladder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kd {

namespace {

constexpr double kAspectTolerance = 0.02;

std::int64_t pixelArea(const DisplayMode& mode) {
    return std::int64_t{mode.pixelWidth} * mode.pixelHeight;
}

std::int64_t pointArea(const DisplayMode& mode) {
    return std::int64_t{mode.width} * mode.height;
}

double pointAspect(const DisplayMode& mode) {
    return static_cast<double>(mode.width) / mode.height;
}

bool hasSize(const SystemDisplayMode& mode) {
    return mode.width > 0 && mode.height > 0 && mode.pixelWidth > 0 && mode.pixelHeight > 0;
}

bool sameRung(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.refresh == b.refresh &&
           a.hidpi == b.hidpi;
}

// The first element that no later one beats; `beats(a, b)` is strict.
template <typename Beats>
const DisplayMode* best(const std::vector<const DisplayMode*>& candidates, Beats beats) {
    const DisplayMode* winner = nullptr;
    for (const auto* mode : candidates) {
        if (winner == nullptr || beats(*mode, *winner)) winner = mode;
    }
    return winner;
}

}  // namespace

std::vector<DisplayMode> modeLadder(const std::vector<SystemDisplayMode>& systemModes) {
    std::vector<DisplayMode> usable;
    for (const auto& system : systemModes) {
        if (system.usableForDesktopGUI && hasSize(system))
            usable.push_back(displayModeFrom(system));
    }
    if (usable.empty()) return {};

    const auto native = std::max_element(
        usable.begin(), usable.end(),
        [](const DisplayMode& a, const DisplayMode& b) { return pixelArea(a) < pixelArea(b); });
    const double nativeAspect = static_cast<double>(native->pixelWidth) / native->pixelHeight;

    std::vector<DisplayMode> ladder;
    for (const auto& mode : usable) {
        if (std::abs(pointAspect(mode) - nativeAspect) > kAspectTolerance) continue;
        const bool repeat = std::any_of(ladder.begin(), ladder.end(), [&](const DisplayMode& kept) {
            return sameRung(kept, mode);
        });
        if (!repeat) ladder.push_back(mode);
    }

    std::stable_sort(ladder.begin(), ladder.end(), [](const DisplayMode& a, const DisplayMode& b) {
        if (a.width != b.width) return a.width > b.width;
        if (a.hidpi != b.hidpi) return a.hidpi;
        return a.refresh > b.refresh;
    });
    return ladder;
}

std::optional<DisplayMode> recommendedFrom(const std::vector<DisplayMode>& ladder) {
    if (ladder.empty()) return std::nullopt;
    std::vector<const DisplayMode*> all;
    all.reserve(ladder.size());
    for (const auto& mode : ladder) all.push_back(&mode);
    const auto& largest = *best(all, [](const DisplayMode& a, const DisplayMode& b) {
        return pointArea(a) > pointArea(b);
    });

    std::vector<const DisplayMode*> halfSize;
    std::vector<const DisplayMode*> sameShape;
    for (const auto* mode : all) {
        if (!mode->hidpi) continue;
        if (std::int64_t{mode->width} * 2 == largest.width &&
            std::int64_t{mode->height} * 2 == largest.height) {
            halfSize.push_back(mode);
        }
        if (std::abs(pointAspect(*mode) - pointAspect(largest)) < kAspectTolerance) {
            sameShape.push_back(mode);
        }
    }

    if (!halfSize.empty()) {
        return *best(halfSize, [](const DisplayMode& a, const DisplayMode& b) {
            return a.refresh > b.refresh;
        });
    }
    if (sameShape.empty()) return largest;
    return *best(sameShape, [](const DisplayMode& a, const DisplayMode& b) {
        if (pointArea(a) != pointArea(b)) return pointArea(a) > pointArea(b);
        return a.refresh > b.refresh;
    });
}

}  // namespace kd
