#include "virtual/capture_geometry.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace kd {

namespace {

int evenAtLeastTwo(std::int64_t pixels) {
    return static_cast<int>(std::max<std::int64_t>(pixels & ~std::int64_t{1}, 2));
}

}  // namespace

CaptureGeometry captureGeometry(int sourceWidth, int sourceHeight, int maxWidth, int fps) {
    // Integer arithmetic gives the exact floor of width × maxWidth ÷ width,
    // which floating point can miss by one (1366 × (1000 ÷ 1366) < 1000).
    std::int64_t width = std::max(sourceWidth, 0);
    std::int64_t height = std::max(sourceHeight, 0);
    if (maxWidth < width) {
        height = height * std::max(maxWidth, 0) / width;
        width = std::max(maxWidth, 0);
    }
    const auto perSecond = 2 * static_cast<std::int64_t>(std::max(fps, 1));
    const auto interval = std::chrono::duration_cast<Scheduler::Duration>(
        std::chrono::nanoseconds(std::chrono::seconds(1)) / perSecond);
    return {evenAtLeastTwo(width), evenAtLeastTwo(height), interval};
}

}  // namespace kd
