#include "model/device_profile.h"

#include <algorithm>

namespace kd {

std::vector<DeviceProfile> buildDeviceProfiles() {
    // Model identifiers compare exactly: "iPad13,1" and "iPad13,10" are different rows.
    return {
        {"AppleTV5,3", "Apple TV HD", 1920, 1080, {60, 50, 30, 25, 24}, false},
        {"AppleTV6,2", "Apple TV 4K (1st gen)", 3840, 2160, {60, 50, 30, 25, 24}, true},
        {"AppleTV11,1", "Apple TV 4K (2nd gen)", 3840, 2160, {60, 50, 30, 25, 24}, true},
        {"AppleTV14,1", "Apple TV 4K (3rd gen)", 3840, 2160, {60, 50, 30, 25, 24}, true},
        {"iPad8,9", "iPad Pro 11″ (2nd gen)", 2388, 1668, {120, 60}, false},
        {"iPad8,10", "iPad Pro 11″ (2nd gen)", 2388, 1668, {120, 60}, false},
        {"iPad8,11", "iPad Pro 12.9″ (4th gen)", 2732, 2048, {120, 60}, false},
        {"iPad8,12", "iPad Pro 12.9″ (4th gen)", 2732, 2048, {120, 60}, false},
        {"iPad13,4", "iPad Pro 11″ (M1)", 2388, 1668, {120, 60}, false},
        {"iPad13,5", "iPad Pro 11″ (M1)", 2388, 1668, {120, 60}, false},
        {"iPad13,6", "iPad Pro 11″ (M1)", 2388, 1668, {120, 60}, false},
        {"iPad13,7", "iPad Pro 11″ (M1)", 2388, 1668, {120, 60}, false},
        {"iPad13,8", "iPad Pro 12.9″ (M1)", 2732, 2048, {120, 60}, true},
        {"iPad13,9", "iPad Pro 12.9″ (M1)", 2732, 2048, {120, 60}, true},
        {"iPad13,10", "iPad Pro 12.9″ (M1)", 2732, 2048, {120, 60}, true},
        {"iPad13,11", "iPad Pro 12.9″ (M1)", 2732, 2048, {120, 60}, true},
        {"iPad14,3", "iPad Pro 11″ (M2)", 2388, 1668, {120, 60}, false},
        {"iPad14,4", "iPad Pro 11″ (M2)", 2388, 1668, {120, 60}, false},
        {"iPad14,5", "iPad Pro 12.9″ (M2)", 2732, 2048, {120, 60}, true},
        {"iPad14,6", "iPad Pro 12.9″ (M2)", 2732, 2048, {120, 60}, true},
        {"iPad16,3", "iPad Pro 11″ (M4)", 2420, 1668, {120, 60}, true},
        {"iPad16,4", "iPad Pro 11″ (M4)", 2420, 1668, {120, 60}, true},
        {"iPad16,5", "iPad Pro 13″ (M4)", 2752, 2064, {120, 60}, true},
        {"iPad16,6", "iPad Pro 13″ (M4)", 2752, 2064, {120, 60}, true},
        {"iPad13,1", "iPad Air (4th gen)", 2360, 1640, {60}, false},
        {"iPad13,2", "iPad Air (4th gen)", 2360, 1640, {60}, false},
        {"iPad13,16", "iPad Air (M1)", 2360, 1640, {60}, false},
        {"iPad13,17", "iPad Air (M1)", 2360, 1640, {60}, false},
        {"iPad14,8", "iPad Air 11″ (M2)", 2360, 1640, {60}, false},
        {"iPad14,9", "iPad Air 11″ (M2)", 2360, 1640, {60}, false},
        {"iPad14,10", "iPad Air 13″ (M2)", 2732, 2048, {60}, false},
        {"iPad14,11", "iPad Air 13″ (M2)", 2732, 2048, {60}, false},
        {"iPad13,18", "iPad (10th gen)", 2360, 1640, {60}, false},
        {"iPad13,19", "iPad (10th gen)", 2360, 1640, {60}, false},
        {"iPad14,1", "iPad mini (6th gen)", 2266, 1488, {60}, false},
        {"iPad14,2", "iPad mini (6th gen)", 2266, 1488, {60}, false},
    };
}

std::optional<DeviceProfile> profile(const std::vector<DeviceProfile>& catalog,
                                     std::string_view model) {
    if (model.empty()) return std::nullopt;
    const auto found = std::find_if(catalog.begin(), catalog.end(),
                                    [&](const DeviceProfile& row) { return row.model == model; });
    if (found == catalog.end()) return std::nullopt;
    return *found;
}

}  // namespace kd
