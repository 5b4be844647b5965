#pragma once

// Which device the menu bar's Display menu acts on.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/device.h"

namespace kd {

// Among the connected devices, the one the user connected most recently
// (the first of `recentKeys` that is connected); else the first connected
// one in list order; else the first of the list; none for an empty list.
std::optional<Device> currentDevice(const std::vector<Device>& devices,
                                    const std::set<std::string>& connectedKeys,
                                    const std::vector<std::string>& recentKeys);

}  // namespace kd
