#pragma once

// Switching this Mac's own panel to another of its modes, as the quick
// modes in the dock and the settings' "Mac" section both offer.

#include <cstdint>
#include <functional>

#include "display/inventory.h"
#include "platform/display_services.h"
#include "platform/scheduler.h"

namespace kd {

// Reconfigures the built-in panel to its mode `modeId` on a background
// queue; `done` then runs on the main queue with whether it switched. False,
// with nothing started and `done` never called, when the panel has no such
// mode. The ports must outlive the switch.
bool switchMacMode(DisplayServices& displays, Scheduler& scheduler,
                   const VirtualDisplayIdentity& virtualDisplay, std::int32_t modeId,
                   std::function<void(bool switched)> done);

}  // namespace kd
