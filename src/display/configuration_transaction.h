#pragma once

// One display configuration change, all or nothing.
//
// Begins a transaction, lets `configure` stage its changes, and completes it
// permanently. When `configure` reports an error the transaction is cancelled,
// never left open. True only when the completion reports success; a failed
// begin, configure or completion changes nothing.

#include <functional>

#include "platform/display_services.h"

namespace kd {

using ConfigurationStep = std::function<DisplayError(ConfigRef config)>;

bool applyConfiguration(DisplayServices& displays, const ConfigurationStep& configure);

}  // namespace kd
