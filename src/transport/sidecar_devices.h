#pragma once

// The iPads Sidecar knows, and which of them belongs to a device.
//
// Every function takes the SidecarCore handle the process opened at start-up
// (null when Sidecar is unavailable, which answers "none" everywhere) and
// reads the framework's objects afresh: nothing is cached. They may be called
// from any thread.

#include <memory>
#include <string>
#include <vector>

#include "model/device.h"
#include "platform/sidecar_core.h"

namespace kd {

// One iPad as Sidecar lists it, with the display configuration it proposes.
struct SidecarScan {
    std::string name;
    std::string model;
    int width = 0;  // points, truncated; 0 without a configuration
    int height = 0;
    int scale = 1;      // 1 or 2; 1 without a configuration
    int framerate = 0;  // 0 when Sidecar gives none
    bool hdr = false;
    bool offersDisplay = false;  // usable as an extra display right now
    friend bool operator==(const SidecarScan&, const SidecarScan&) = default;
};

// The shared manager; null without the framework, its class, or the class's
// answer to "sharedManager".
std::shared_ptr<SidecarDisplayManager> sidecarManager(const SidecarCoreFramework* sidecarLib);

SidecarDisplayManager::DeviceList sidecarDevices(const SidecarCoreFramework* sidecarLib);

// The iPad that belongs to `device`: the first with its model (when the model
// is not empty), else the first with its name, else the first that offers a
// display. With one iPad in reach every iPad device resolves to it.
std::shared_ptr<SidecarDevice> sidecarDevice(const SidecarDisplayManager& manager,
                                             const Device& device);
std::shared_ptr<SidecarDevice> sidecarDevice(const SidecarCoreFramework* sidecarLib,
                                             const Device& device);

// One per iPad, in Sidecar's order.
std::vector<SidecarScan> sidecarScans(const SidecarCoreFramework* sidecarLib);

}  // namespace kd
