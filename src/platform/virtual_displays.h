#pragma once

// The window server's virtual display classes: a display that the system
// lists as a real screen although no hardware is attached.
//
// Contract:
// - `create` and every member of a display are called on the main thread.
// - `create` answers the new display, or nothing when the system refuses.
//   The display has its id from the start; its screen comes online only once
//   `applySettings` has accepted the modes, and the system chooses which of
//   them it runs. `applySettings` answers false when the display rejects the
//   settings or modes, and then nothing comes online.
// - Destroying the display object releases it: its screen goes away.
// - The termination handler is called on the descriptor's queue when the
//   system tears the display down on its own, at most once per display. It
//   may arrive after the display was released or after another display was
//   created, since the system's teardown can lag behind: a holder must check
//   that the display the handler was made for is still the one it holds.
// - The descriptor's name, size in millimetres and identifiers are what the
//   system is told; an implementation that stands in for the window server
//   may ignore them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display_services.h"
#include "platform/scheduler.h"

namespace kd {

struct VirtualDisplayDescriptor {
    std::string name;
    std::uint32_t maxPixelsWide = 0;
    std::uint32_t maxPixelsHigh = 0;
    double widthMillimeters = 0;
    double heightMillimeters = 0;
    std::uint32_t productID = 0;
    std::uint32_t vendorID = 0;
    std::uint32_t serialNum = 0;
    Queue queue = Queue::serial(kVirtualDisplayQueueLabel);
    std::function<void()> terminationHandler;
};

// One mode offered to the system; the size is in points.
struct VirtualDisplayMode {
    int width = 0;
    int height = 0;
    double refreshRate = 0;
    friend bool operator==(const VirtualDisplayMode&, const VirtualDisplayMode&) = default;
};

struct VirtualDisplaySettings {
    bool hiDPI = false;
    std::vector<VirtualDisplayMode> modes;
    friend bool operator==(const VirtualDisplaySettings&, const VirtualDisplaySettings&) = default;
};

class VirtualDisplay {
  public:
    virtual ~VirtualDisplay() = default;
    virtual bool applySettings(const VirtualDisplaySettings& settings) = 0;
    virtual DisplayID displayID() const = 0;
};

class VirtualDisplays {
  public:
    virtual ~VirtualDisplays() = default;
    virtual std::unique_ptr<VirtualDisplay> create(const VirtualDisplayDescriptor& descriptor) = 0;
};

}  // namespace kd
