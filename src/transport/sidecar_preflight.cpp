#include "transport/sidecar_preflight.h"

#include "display/inventory.h"
#include "transport/sidecar_devices.h"
#include "transport/tool_runner.h"

namespace kd {

std::vector<std::string> sidecarPreflight(const SidecarCoreFramework* sidecarLib,
                                          const SidecarPreflightProbes& probes,
                                          const Device& device) {
    const auto manager = sidecarManager(sidecarLib);
    if (!manager) {
        return {
            "SidecarCore is unavailable on this macOS \u2014 using the Screen Mirroring menu "
            "instead"};
    }
    std::vector<std::string> warnings;
    // The manager exists, so the class does too.
    if (!sidecarLib->displayManagerClass()->isSupported()) {
        warnings.emplace_back("This Mac doesn't support Sidecar");
    }

    const auto airPlay = activeAirPlayScreens(probes.displays, probes.virtualDisplay);
    if (airPlay.size() == 1) {
        warnings.push_back(airPlay.front() +
                           " is sending over AirPlay \u2014 Sidecar can't start until it stops. "
                           "Sidecar has to come up first; a television added afterwards is fine.");
    } else if (airPlay.size() > 1) {
        warnings.push_back(std::to_string(airPlay.size()) +
                           " AirPlay screens are running \u2014 Sidecar can't start until they "
                           "stop. Sidecar has to come up first; televisions added afterwards are "
                           "fine.");
    }

    if (!sidecarDevice(*manager, device)) {
        warnings.push_back(device.name +
                           " isn't paired for Sidecar \u2014 check both devices use the same Apple "
                           "Account, with Wi-Fi, Bluetooth and Handoff on");
    }

    const auto vpn = probes.tools.run("/usr/sbin/scutil", {"--nc", "list"}, kDefaultToolTimeout);
    if (vpn.find("Connected") != std::string::npos) {
        warnings.emplace_back(
            "A VPN is connected \u2014 Sidecar often can't reach the iPad through it");
    }
    const auto nat =
        probes.tools.run("/usr/bin/defaults",
                         {"read", "/Library/Preferences/SystemConfiguration/com.apple.nat", "NAT"},
                         kDefaultToolTimeout);
    if (nat.find("Enabled = 1") != std::string::npos) {
        warnings.emplace_back("Internet Sharing is on \u2014 turn it off, it blocks Sidecar");
    }
    return warnings;
}

}  // namespace kd
