#pragma once

// Which device owns which screen right now: the live screen list read from
// the window server and resolved against the devices. Any thread.

#include <optional>
#include <string>
#include <vector>

#include "display/connection_state.h"
#include "display/virtual_display_identity.h"
#include "model/device.h"
#include "platform/display_services.h"

namespace kd {

// `believedConnected`, `busyKey` and `recent` are what the controller knows
// of its own actions; they settle mirrors the system hides.
ConnectionState readConnections(const DisplayServices& displays,
                                const VirtualDisplayIdentity& virtualDisplay,
                                const std::vector<Device>& devices,
                                const std::set<std::string>& believedConnected,
                                const std::optional<std::string>& busyKey,
                                const std::vector<std::string>& recent);

}  // namespace kd
