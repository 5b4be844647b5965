#pragma once

// The modes the window server offers for a television's screen, worked out
// from the catalog row of the receiver's model: the panel's full size and
// two smaller sizes of the same shape as plain modes, then HiDPI modes at a
// half and a third of the panel's size, each at every refresh rate of the
// model, fastest first. A model the catalog does not know is taken as a
// 1920 × 1080 television. Pure.

#include <cstdint>
#include <optional>
#include <vector>

#include "model/device_profile.h"
#include "platform/sim/scenario.h"

namespace kd {

struct TelevisionModes {
    std::vector<ScenarioMode> modes;  // ids from 1, in the order above
    // The HiDPI half size on a panel 3840 pixels wide or more, else the full
    // size; the fastest refresh either way.
    std::int32_t currentMode = 0;
};

TelevisionModes televisionModes(const std::optional<DeviceProfile>& profile);

}  // namespace kd
