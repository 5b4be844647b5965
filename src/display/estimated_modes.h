#pragma once

// The modes a device is likely to offer before it has ever been connected,
// worked out from its catalog row. Pure.

#include <string>
#include <vector>

#include "model/device_profile.h"

namespace kd {

struct EstimatedMode {
    std::string label;
    int width = 0;  // points
    int height = 0;
    bool hidpi = false;
    friend bool operator==(const EstimatedMode&, const EstimatedMode&) = default;
};

// Four HiDPI sizes at 100 %, 85 %, 72 % and 60 % of the panel's 2x size,
// each rounded to an even number of points, then the panel's full pixel size
// as a plain mode: five entries, in that order.
std::vector<EstimatedMode> estimatedModes(const DeviceProfile& profile);

}  // namespace kd
