#pragma once

// What is known to stop Sidecar before a connect is tried, as sentences for
// the user, most fundamental first.
//
// Contract: blocks while it runs two of the Mac's tools (a few seconds at
// most, each bounded by the tool timeout), so run it on a background queue;
// the dock controller does, while it starts an iPad's connect.

#include <string>
#include <vector>

#include "display/virtual_display_identity.h"
#include "model/device.h"
#include "platform/display_services.h"
#include "platform/sidecar_core.h"
#include "platform/system_tools.h"

namespace kd {

// What the preflight looks at besides Sidecar itself.
struct SidecarPreflightProbes {
    const DisplayServices& displays;
    const VirtualDisplayIdentity& virtualDisplay;
    const SystemTools& tools;
};

// Empty means nothing known stands in the way.
std::vector<std::string> sidecarPreflight(const SidecarCoreFramework* sidecarLib,
                                          const SidecarPreflightProbes& probes,
                                          const Device& device);

}  // namespace kd
