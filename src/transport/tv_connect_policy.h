#pragma once

// The window server's default TV connect policy: what it does when a
// television starts receiving this Mac's screen. Set before the Screen
// Mirroring menu is pressed, so the right choice is preselected on the mode
// panel, or the panel never appears.
//
// Both calls go through the SkyLight handle, looking each symbol up on every
// use. A null handle or a missing symbol reads as no policy and refuses every
// change, and then nothing is called. Cheap; any thread.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/sky_light.h"
#include "transport/airplay_mode.h"

namespace kd {

// Raw values are the window server's own numbering. 3 is not a policy.
enum class TVConnectPolicy : std::int32_t {
    ask = 0,
    entireScreen = 1,
    windowOrApp = 2,
    extended = 4,
};

std::optional<TVConnectPolicy> tvConnectPolicyFromRaw(std::int32_t raw);
TVConnectPolicy tvConnectPolicyFor(AirPlayMode mode);
const char* toString(TVConnectPolicy policy);

// None when the window server cannot be asked, says no, or answers with a
// number that is not a policy.
std::optional<TVConnectPolicy> tvConnectPolicy(const std::shared_ptr<SkyLightFramework>& skyLight);

// True when the window server accepted the new default.
bool setTVConnectPolicy(const std::shared_ptr<SkyLightFramework>& skyLight, TVConnectPolicy policy);

}  // namespace kd
