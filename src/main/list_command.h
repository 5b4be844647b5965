#pragma once

// `--list`: one scan for devices on the chosen Mac, printed in display order.

#include <chrono>
#include <ostream>
#include <vector>

#include "model/device.h"
#include "model/process_values.h"
#include "platform/platform.h"
#include "platform/qt/qt_event_loop.h"

namespace kd {

// One line per device: name, kind and model, two spaces apart.
std::string plainDeviceList(const std::vector<Device>& devices);
// One JSON array of objects with the keys id, name, kind, model, matchKeys,
// features (a number), host and port; ends with a line break.
std::string jsonDeviceList(const std::vector<Device>& devices);

// Scans for `wait` on the event loop, prints the list to `out` and returns
// the exit status.
int runListCommand(Platform& platform, ProcessValues& values, QtEventLoop& loop,
                   std::chrono::milliseconds wait, bool json, std::ostream& out);

}  // namespace kd
