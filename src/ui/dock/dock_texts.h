#pragma once

// What the rows of the main window say about a device. Pure.

#include <optional>
#include <string>

#include "display/mode_pref.h"
#include "display/side.h"
#include "model/device.h"

namespace kd {

// "Sidecar", "Apple TV · AirPlay" or "TV · AirPlay", and while connected
// " · mirrored display" or " · extended display" after it.
std::string deviceSubtitle(DeviceKind kind, bool connected, bool mirrored);

// The help of a placement arrow: who already holds that side, or what the
// arrow does when nobody does.
std::string placementHelp(Side side, const std::optional<std::string>& occupant);

// The help of a row's settings button: the pinned mode when there is one.
std::string displaySettingsHelp(const std::optional<ModePref>& pinned,
                                const std::string& deviceName);

// The picture of a device for the image provider: "<kind>/<lit|off>/<model>".
std::string deviceArtworkID(DeviceKind kind, const std::string& model, bool lit);
// The picture of this Mac, lit.
std::string macArtworkID(const std::string& model);

}  // namespace kd
