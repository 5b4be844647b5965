#pragma once

// What the program does before it relaunches into a new version: hand every
// connected device back, then remove the virtual display, so nothing is left
// extended onto a screen that no program drives any more.
//
// Contract:
// - Main thread only; `done` is called there exactly once, never from
//   inside the call.
// - The dock controller lets one flow run at a time and ignores a disconnect
//   while another runs, so the devices go one after another: each disconnect
//   is waited for before the next starts. A flow that does not end within
//   kDisconnectPatience is released through the controller's stuck release
//   and the next device goes ahead; if the controller stays busy even so,
//   the devices left are given up. The whole clean-up therefore ends within
//   (devices + 1) × kDisconnectPatience.
// - `dock` and `virtualDisplay` may be null (not created); when given they
//   must outlive the clean-up, as the application keeps both to its end.

#include <chrono>
#include <functional>

#include "dock/dock_state.h"
#include "virtual/virtual_display_host.h"

namespace kd {

// Beyond the controller's own ceiling, so its stuck release can act.
inline constexpr std::chrono::seconds kDisconnectPatience = kBusyCeiling + std::chrono::seconds(1);

void handBackBeforeRelaunch(Scheduler& scheduler, DockState* dock,
                            VirtualDisplayHost* virtualDisplay, std::function<void()> done);

}  // namespace kd
