#include "model/process_values.h"

namespace kd {

std::unique_ptr<ProcessValues> createProcessValues(FrameworkLoader& frameworks) {
    auto values = std::make_unique<ProcessValues>();
    values->skyLight = frameworks.openSkyLight();
    values->sidecarLib = frameworks.openSidecarCore();
    values->coreDisplayLib = frameworks.openCoreDisplay();
    values->deviceProfiles = buildDeviceProfiles();
    return values;
}

}  // namespace kd
