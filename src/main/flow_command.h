#pragma once

// `--connect`, `--mirror` and `--disconnect` from the command line: the
// window's flows, run one after another on the same dock controller, for
// scripts and for a Mac whose window is not open.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dock/dock_state.h"
#include "main/arguments.h"
#include "model/device.h"
#include "platform/qt/qt_event_loop.h"

namespace kd {

// The device the user named: the exact name first, else the first whose
// name is the same ignoring case.
std::optional<Device> deviceNamed(const std::vector<Device>& devices, const std::string& name);

// Whether the device ended as the action asked: extended on the side for a
// connect, mirroring for a mirror, without a screen for a disconnect.
bool actionSucceeded(const FlowAction& action, Side side, const Device& device,
                     const DockState& state);

// {"screens": [...]}: every online screen with its id, name, bounds,
// whether it is built in, the display it mirrors and the device it belongs to.
std::string screensJson(const DockState& state, const DisplayServices& displays,
                        const VirtualDisplayIdentity& virtualDisplay);

// Scans, checks every name, runs the actions and returns the exit status:
// 0 when every action left its device as asked, 1 otherwise, 2 when a name
// matches no device found. Status lines go to `status` as they change.
int runFlowCommand(DockState::Ports ports, QtEventLoop& loop,
                   const std::vector<FlowAction>& actions, bool json, std::ostream& out,
                   std::ostream& status, std::ostream& err);

}  // namespace kd
