#include "transport/sidecar_devices.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kd {

namespace {

// Toward zero, like a C cast, but a value no int holds (or NaN) cannot make
// the conversion undefined.
int truncated(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    return static_cast<int>(std::trunc(std::clamp(value, kMin, kMax)));
}

}  // namespace

std::shared_ptr<SidecarDisplayManager> sidecarManager(const SidecarCoreFramework* sidecarLib) {
    if (sidecarLib == nullptr) return nullptr;
    const auto managerClass = sidecarLib->displayManagerClass();
    if (!managerClass || !managerClass->respondsToSharedManager()) return nullptr;
    return managerClass->sharedManager();
}

SidecarDisplayManager::DeviceList sidecarDevices(const SidecarCoreFramework* sidecarLib) {
    const auto manager = sidecarManager(sidecarLib);
    if (!manager) return {};
    return manager->devices().value_or(SidecarDisplayManager::DeviceList{});
}

std::shared_ptr<SidecarDevice> sidecarDevice(const SidecarDisplayManager& manager,
                                             const Device& device) {
    const auto iPads = manager.devices().value_or(SidecarDisplayManager::DeviceList{});
    const auto first = [&](auto&& matches) -> std::shared_ptr<SidecarDevice> {
        for (const auto& iPad : iPads) {
            if (iPad && matches(*iPad)) return iPad;
        }
        return nullptr;
    };
    // An empty model would match every iPad that reports none.
    if (!device.model.empty()) {
        if (auto hit = first([&](const SidecarDevice& d) { return d.model() == device.model; })) {
            return hit;
        }
    }
    if (auto hit = first([&](const SidecarDevice& d) { return d.name() == device.name; })) {
        return hit;
    }
    return first([](const SidecarDevice& d) { return d.offersAdditionalDisplay(); });
}

std::shared_ptr<SidecarDevice> sidecarDevice(const SidecarCoreFramework* sidecarLib,
                                             const Device& device) {
    const auto manager = sidecarManager(sidecarLib);
    return manager ? sidecarDevice(*manager, device) : nullptr;
}

std::vector<SidecarScan> sidecarScans(const SidecarCoreFramework* sidecarLib) {
    const auto manager = sidecarManager(sidecarLib);
    if (!manager) return {};
    std::vector<SidecarScan> scans;
    for (const auto& iPad : manager->devices().value_or(SidecarDisplayManager::DeviceList{})) {
        if (!iPad) continue;
        SidecarScan scan;
        scan.name = iPad->name();
        scan.model = iPad->model();
        scan.offersDisplay = iPad->offersAdditionalDisplay();
        if (const auto config = manager->configForDevice(*iPad)) {
            const auto size = config->size();
            scan.width = truncated(size.width);
            scan.height = truncated(size.height);
            scan.scale = truncated(config->scale());
            scan.framerate = truncated(config->framerate().value_or(0));
            scan.hdr = config->hdr().value_or(false);
        }
        scans.push_back(std::move(scan));
    }
    return scans;
}

}  // namespace kd
