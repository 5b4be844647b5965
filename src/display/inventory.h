#pragma once

// Which screens are there right now, read live from the window server.
//
// Contract: every query may run on any thread and only reads system state;
// nothing is cached. The virtual display (whatever `virtualDisplay` holds at
// the moment of the call) is never an external screen and never an attached
// one. Lists keep the system's order.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "display/attached_display.h"
#include "display/virtual_display_identity.h"
#include "platform/display_services.h"

namespace kd {

inline constexpr std::size_t kMaxOnlineDisplays = 16;

// Active, mirrored and hidden displays alike; at most kMaxOnlineDisplays.
std::vector<DisplayID> onlineDisplays(const DisplayServices& displays);

// The first attached screen that is built in; failing that, the first online
// display the system calls built in (a panel that is online but not active).
std::optional<DisplayID> builtInDisplay(const DisplayServices& displays,
                                        const VirtualDisplayIdentity& virtualDisplay);

// The first online display that is neither built in nor virtual.
std::optional<DisplayID> externalDisplay(const DisplayServices& displays,
                                         const VirtualDisplayIdentity& virtualDisplay);

// Every online display that is neither built in nor virtual.
std::vector<DisplayID> onlineExternals(const DisplayServices& displays,
                                       const VirtualDisplayIdentity& virtualDisplay);

// One entry per active screen; screens without a display number and the
// virtual display are left out, and so are mirrors the system hides.
std::vector<AttachedDisplay> attachedDisplays(const DisplayServices& displays,
                                              const VirtualDisplayIdentity& virtualDisplay);

// The external displays that mirror: hidden from the screen list, or active
// but mirroring another display.
std::vector<DisplayID> mirroredExternals(const DisplayServices& displays,
                                         const VirtualDisplayIdentity& virtualDisplay);

// Names of active external screens that are AirPlay screens but not Sidecar's.
std::vector<std::string> activeAirPlayScreens(const DisplayServices& displays,
                                              const VirtualDisplayIdentity& virtualDisplay);

}  // namespace kd
