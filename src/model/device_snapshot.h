#pragma once

// The known devices and the recent-device ids, published by the dock
// controller for code off the main thread. Every read and write holds the
// lock; readers get copies, so nobody holds it while calling elsewhere.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "model/device.h"

namespace kd {

class DeviceSnapshot {
  public:
    struct Copy {
        std::vector<Device> devs;
        std::vector<std::string> recent;  // most recent first
    };

    // Replaces each half that is given; an absent half stays as it was.
    void set(std::optional<std::vector<Device>> devices,
             std::optional<std::vector<std::string>> recent);
    Copy get() const;

  private:
    mutable std::mutex lock_;
    std::vector<Device> list_;
    std::vector<std::string> recent_;
};

}  // namespace kd
