#pragma once

// The known devices and the recent-device ids, published by the dock
// controller for code off the main thread. Every read and write holds
// `deviceSnapshotLock`; readers get copies, so nobody holds it while calling
// elsewhere.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "model/device.h"

namespace kd {

struct DeviceSnapshotCopy {
    std::vector<Device> devs;
    std::vector<std::string> recent;  // most recent first
};

class DeviceSnapshot {
  public:
    friend void setDeviceSnapshot(DeviceSnapshot& snapshot,
                                  std::optional<std::vector<Device>> devices,
                                  std::optional<std::vector<std::string>> recent);
    friend DeviceSnapshotCopy deviceSnapshot(const DeviceSnapshot& snapshot);

  private:
    mutable std::mutex deviceSnapshotLock;
    std::vector<Device> deviceSnapshotList;
    std::vector<std::string> deviceSnapshotRecent;
};

// Replaces each half that is given; an absent half stays as it was.
void setDeviceSnapshot(DeviceSnapshot& snapshot, std::optional<std::vector<Device>> devices,
                       std::optional<std::vector<std::string>> recent);
DeviceSnapshotCopy deviceSnapshot(const DeviceSnapshot& snapshot);

}  // namespace kd
