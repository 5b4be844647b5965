#include "virtual/virtual_settings.h"

#include <algorithm>
#include <random>

namespace kd {

namespace {

constexpr std::int64_t kLargestSerial = 2147483647;

int side(const PreferenceReader& defaults, const char* key, int fallback, int smallest) {
    const auto stored = defaults.integer(key).value_or(0);
    if (stored < smallest || stored > kVirtualMaxSide) return fallback;
    return static_cast<int>(stored);
}

}  // namespace

VirtualSettings loadVirtualSettings(const PreferenceReader& defaults) {
    VirtualSettings settings;
    settings.width = side(defaults, kVirtualWidthKey, settings.width, kVirtualMinWidth);
    settings.height = side(defaults, kVirtualHeightKey, settings.height, kVirtualMinHeight);
    const auto refresh = defaults.integer(kVirtualRefreshKey).value_or(0);
    if (std::find(usableRefreshRates.begin(), usableRefreshRates.end(), refresh) !=
        usableRefreshRates.end()) {
        settings.refresh = static_cast<int>(refresh);
    }
    settings.hidpi = defaults.boolValue(kVirtualHiDPIKey).value_or(settings.hidpi);
    return settings;
}

std::uint32_t installID(Preferences& defaults, const SerialDraw& draw) {
    const auto stored = defaults.integer(kVirtualInstallIDKey).value_or(0);
    if (stored >= 1 && stored <= kLargestSerial) return static_cast<std::uint32_t>(stored);
    const std::uint32_t serial = draw() + 1;
    defaults.set(kVirtualInstallIDKey, static_cast<std::int64_t>(serial));
    return serial;
}

std::uint32_t drawSerial() {
    std::random_device source;
    std::uniform_int_distribution<std::uint32_t> uniform(0, kLargestSerial - 1);
    return uniform(source);
}

}  // namespace kd
