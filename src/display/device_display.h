#pragma once

// Which screen belongs to a device, asked from any thread.
//
// Contract: reads the device snapshot (copies taken under its lock, which is
// never held while the window server is asked) and the live screen list.

#include <optional>

#include "display/virtual_display_identity.h"
#include "model/device.h"
#include "model/device_snapshot.h"
#include "platform/display_services.h"

namespace kd {

// Resolves the attached screens against the snapshot's devices and recent
// ids. A device the snapshot does not know is considered first.
std::optional<DisplayID> displayID(const DisplayServices& displays,
                                   const VirtualDisplayIdentity& virtualDisplay,
                                   const DeviceSnapshot& snapshot, const Device& device);

// As displayID; failing that, the one mirrored external display when there is
// exactly one (a lone hidden or mirroring screen is taken to be the device's).
std::optional<DisplayID> anyDisplayID(const DisplayServices& displays,
                                      const VirtualDisplayIdentity& virtualDisplay,
                                      const DeviceSnapshot& snapshot, const Device& device);

}  // namespace kd
