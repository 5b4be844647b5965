#pragma once

// The values every run mode shares, created once at start-up before the run
// mode is chosen, in a fixed order, and never released or reopened.

#include <memory>
#include <vector>

#include "model/device_profile.h"
#include "model/device_snapshot.h"
#include "platform/platform.h"

namespace kd {

struct ProcessValues {
    std::shared_ptr<SkyLightFramework> skyLight;  // null: SkyLight is missing
    DeviceSnapshot deviceSnapshot;
    std::shared_ptr<SidecarCoreFramework> sidecarLib;      // null: Sidecar is unavailable
    std::shared_ptr<CoreDisplayFramework> coreDisplayLib;  // null: no HDR switching
    std::vector<DeviceProfile> deviceProfiles;
};

// Opens the frameworks and builds the catalogs, in start-up order.
std::unique_ptr<ProcessValues> createProcessValues(FrameworkLoader& frameworks);

}  // namespace kd
