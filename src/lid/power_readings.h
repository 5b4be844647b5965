#pragma once

// What the power manager and the battery say, read through the Mac's tools.
// The readers block (they run a tool), so call them off the main thread; the
// parsers are pure.

#include <optional>
#include <string_view>

#include "platform/system_tools.h"

namespace kd {

// True when the first line of `pmset -g` output that mentions SleepDisabled
// ends in the word "1".
bool sleepDisabledIn(std::string_view pmsetOutput);

// The battery temperature in whole °C from `ioreg -r -n AppleSmartBattery`
// output (the first line holding "Temperature" in quotes, in hundredths of a
// degree); 0 when there is none or it does not parse.
int batteryTempCIn(std::string_view ioregOutput);

// The watchdog's temperature file: one integer, white space around it allowed.
std::optional<int> temperatureFileReading(std::string_view text);

bool sleepDisabled(const SystemTools& tools);
int batteryTempC(const SystemTools& tools);

}  // namespace kd
