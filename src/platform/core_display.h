#pragma once

// The CoreDisplay framework's HDR switches, opened once at start-up. A null
// handle means the framework is missing. Symbols are looked up by name on
// every use: an empty function means the symbol is not there.
//
// Contract: lookups and calls may come from any thread and answer at once.

#include <functional>

#include "platform/display_services.h"

namespace kd {

class CoreDisplayFramework {
  public:
    using SupportsHDRMode = std::function<bool(DisplayID)>;
    using IsHDRModeEnabled = std::function<bool(DisplayID)>;
    using SetHDRModeEnabled = std::function<void(DisplayID, bool)>;

    virtual ~CoreDisplayFramework() = default;
    virtual SupportsHDRMode supportsHDRMode() const = 0;  // "CoreDisplay_Display_SupportsHDRMode"
    virtual IsHDRModeEnabled isHDRModeEnabled()
        const = 0;  // "CoreDisplay_Display_IsHDRModeEnabled"
    virtual SetHDRModeEnabled setHDRModeEnabled()
        const = 0;  // "CoreDisplay_Display_SetHDRModeEnabled"
};

}  // namespace kd
