#include "support/support_diagnostics.h"

#include "dock/dock_state.h"
#include "model/host_info.h"
#include "virtual/virtual_display_host.h"

namespace kd {

std::string supportDeviceEntry(const Device& device) {
    std::string entry;
    switch (device.kind) {
        case DeviceKind::ipad:
            entry = "iPad";
            break;
        case DeviceKind::appletv:
            entry = "Apple TV";
            break;
        case DeviceKind::tv:
            entry = "TV";
            break;
    }
    if (!device.model.empty()) entry += " " + device.model;
    return entry;
}

SupportDiagnostics SupportDiagnostics::current(const DockState& state,
                                               const VirtualDisplayHost* host,
                                               const DisplayServices& displays,
                                               const std::optional<std::string>& appVersion,
                                               const std::string& osVersion) {
    SupportDiagnostics diagnostics;
    diagnostics.appVersion = appVersion.value_or("?");
    diagnostics.osVersion = osVersion;
    diagnostics.mac = state.mac.get().label;
    diagnostics.screens = static_cast<int>(displays.screens().size());
    for (const auto& device : state.scanner.devices.get()) {
        diagnostics.devices.push_back(supportDeviceEntry(device));
    }
    if (host == nullptr || !host->isRunning()) {
        diagnostics.virtualDisplay = "off";
    } else {
        diagnostics.virtualDisplay = host->actual.get().empty() ? "on" : host->actual.get();
    }
    return diagnostics;
}

std::string SupportDiagnostics::text() const {
    std::string text = "Kelvane Display " + appVersion + kPartSeparator + osVersion + "\n" + mac +
                       "\n" + std::to_string(screens) + " screen" + (screens == 1 ? "" : "s") +
                       kPartSeparator + "virtual display: " + virtualDisplay;
    if (!devices.empty()) {
        text += "\nfound: ";
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (i > 0) text += ", ";
            text += devices[i];
        }
    }
    return text;
}

SupportTicketDiagnostics SupportDiagnostics::payload() const {
    return {"Display " + appVersion, osVersion, screens};
}

}  // namespace kd
