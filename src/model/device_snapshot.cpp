#include "model/device_snapshot.h"

namespace kd {

void setDeviceSnapshot(DeviceSnapshot& snapshot, std::optional<std::vector<Device>> devices,
                       std::optional<std::vector<std::string>> recent) {
    const std::lock_guard guard(snapshot.deviceSnapshotLock);
    if (devices) snapshot.deviceSnapshotList = std::move(*devices);
    if (recent) snapshot.deviceSnapshotRecent = std::move(*recent);
}

DeviceSnapshotCopy deviceSnapshot(const DeviceSnapshot& snapshot) {
    const std::lock_guard guard(snapshot.deviceSnapshotLock);
    return DeviceSnapshotCopy{snapshot.deviceSnapshotList, snapshot.deviceSnapshotRecent};
}

}  // namespace kd
