#pragma once

// The built-in catalog of known Apple models: panel size, refresh rates, HDR.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

struct DeviceProfile {
    std::string model;
    std::string marketing;
    int pixelWidth;
    int pixelHeight;
    std::vector<int> refreshRates;  // hertz, highest first
    bool hdr;

    // The panel's size at 2x scaling (integer halves).
    int pointWidth() const { return pixelWidth / 2; }
    int pointHeight() const { return pixelHeight / 2; }

    friend bool operator==(const DeviceProfile&, const DeviceProfile&) = default;
};

// The catalog, built once at start-up, in its fixed order.
std::vector<DeviceProfile> buildDeviceProfiles();

// The first row whose model equals `model` exactly; nothing for an empty model.
std::optional<DeviceProfile> profile(const std::vector<DeviceProfile>& catalog,
                                     std::string_view model);

}  // namespace kd
