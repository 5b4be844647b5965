#pragma once

// This Mac, as the picture and label at the centre of the main window show
// it: which kind of Mac, its product name, screen size and processor.
//
// Every function asks the Mac's tools or kernel, so it blocks briefly: call
// it off the main thread, or once at start-up.

#include <string>

#include "model/host_info.h"
#include "platform/display_services.h"
#include "platform/system_tools.h"

namespace kd {

// The kernel variable `name` as text (up to its first NUL); empty when the
// kernel has no such variable or it is not UTF-8.
std::string sysctlString(const SystemTools& tools, const std::string& name);

// "MacBook Pro (14-inch, Nov 2023)" or the like, from the I/O registry;
// empty when it cannot be read.
std::string productDescription(const SystemTools& tools);

// "macOS 14.5.0": the system's version as major, minor and patch numbers,
// each missing one counted as 0.
std::string macOSVersion(const SystemTools& tools);

// The kind of Mac and its product family from the model identifier. A Mac
// of unknown model with a built-in panel online counts as a laptop.
HostInfo hostMacInfo(const SystemTools& tools, const DisplayServices& displays);

// `base` with the product name, screen size and processor filled in when the
// registry names the product: "MacBook Pro 14″ · M2 Pro".
HostInfo hostMacDetails(const HostInfo& base, const SystemTools& tools);

}  // namespace kd
