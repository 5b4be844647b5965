#pragma once

// What the display settings of one device offer and say, from what a scan of
// the device found. Pure.

#include <optional>
#include <string>
#include <vector>

#include "display/display_mode.h"
#include "display/hdr.h"
#include "display/mode_pref.h"
#include "model/device_profile.h"
#include "platform/display_services.h"
#include "transport/airplay_info.h"
#include "transport/sidecar_devices.h"

namespace kd {

// Where the offered sizes come from, most trustworthy first.
enum class SizeSource { liveDisplay, cache, sidecarConfig, panelEstimate, unknown };

// Everything a scan of one device found.
struct SettingsScan {
    std::optional<DisplayID> target;  // the device's screen, when it is connected
    std::vector<DisplayMode> modes;   // its modes, hidden ones included
    std::vector<ModePref> cached;     // the modes stored the last time
    std::optional<DisplayMode> current;
    std::optional<DisplayMode> recommended;
    std::optional<HDRState> hdr;
    bool hdrToggleable = false;
    bool hdrOn = false;
    std::optional<SidecarScan> sidecar;
    std::optional<AirPlayInfo> airplay;
    std::optional<ModePref> pref;  // the pinned mode
    std::optional<DeviceProfile> profile;
};

SizeSource sizeSource(const SettingsScan& scan);
std::string sourceLabel(SizeSource source, const std::string& model);

// Each size once, the first kept, in the source's order.
std::vector<ResOption> offeredSizes(SizeSource source, const SettingsScan& scan);
// The size marked "Native": the recommended mode's, else the catalog panel's.
std::optional<ResOption> nativeSize(const SettingsScan& scan);
// The refresh rates known for `size`, fastest first, each once.
std::vector<int> refreshRates(SizeSource source, const SettingsScan& scan, const ResOption& size);

std::string hdrStatusText(SizeSource source, const SettingsScan& scan);

// The system's name for the model, else the catalog's, else the model itself.
std::string settingsTitle(const std::optional<std::string>& systemName, const SettingsScan& scan,
                          const std::string& model);
std::string settingsSubtitle(const std::string& title, const SettingsScan& scan);

// The Sidecar iPad that belongs to a device, as Sidecar's own lookup picks it:
// same model, else same name, else the first that offers a display.
std::optional<SidecarScan> sidecarScanFor(const std::vector<SidecarScan>& scans,
                                          const std::string& model, const std::string& name);

}  // namespace kd
