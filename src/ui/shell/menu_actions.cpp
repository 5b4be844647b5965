#include "ui/shell/menu_actions.h"

#include "display/device_prefs.h"
#include "dock/dock_state.h"
#include "ui/shell/current_device.h"
#include "virtual/virtual_display_host.h"

namespace kd {

std::optional<Device> MenuActions::currentDevice() const {
    const auto& dock = ports_.dock;
    return kd::currentDevice(dock.scanner.devices.get(), dock.connectedKeys.get(), dock.recentKeys);
}

void MenuActions::rescan() {
    ports_.dock.rescan();
}

void MenuActions::place(int tag) {
    static constexpr Side kByTag[] = {Side::left, Side::top, Side::right};
    const auto device = currentDevice();
    if (!device || tag < 0 || tag > 2) {
        if (ports_.beep) ports_.beep();
        return;
    }
    ports_.dock.connect(*device, kByTag[tag]);
}

void MenuActions::toggleMirror() {
    const auto device = currentDevice();
    if (!device) {
        if (ports_.beep) ports_.beep();
        return;
    }
    ports_.dock.mirror(*device);
}

void MenuActions::toggleVirtual() {
    ports_.virtualDisplay.toggle();
}

void MenuActions::disconnect() {
    const auto device = currentDevice();
    if (!device || !ports_.dock.connectedKeys.get().contains(device->id)) {
        if (ports_.beep) ports_.beep();
        return;
    }
    ports_.dock.disconnect(*device);
}

void MenuActions::dockConnect(const std::string& deviceKey) {
    auto& dock = ports_.dock;
    for (const auto& device : dock.scanner.devices.get()) {
        if (device.id != deviceKey) continue;
        if (dock.connectedKeys.get().contains(device.id)) {
            dock.disconnect(device);
        } else {
            dock.connect(device, savedSide(ports_.defaults, device.id).value_or(Side::right));
        }
        return;
    }
}

void MenuActions::openHelp() {
    ports_.urls.open(kHelpPageAddress);
}

void MenuActions::openPrivacy() {
    ports_.urls.open(kPrivacyPageAddress);
}

void MenuActions::openProductPage() {
    ports_.urls.open(kProductPageAddress);
}

}  // namespace kd
