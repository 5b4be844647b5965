#include "model/device_snapshot.h"

namespace kd {

void DeviceSnapshot::set(std::optional<std::vector<Device>> devices,
                         std::optional<std::vector<std::string>> recent) {
    const std::lock_guard guard(lock_);
    if (devices) list_ = std::move(*devices);
    if (recent) recent_ = std::move(*recent);
}

DeviceSnapshot::Copy DeviceSnapshot::get() const {
    const std::lock_guard guard(lock_);
    return Copy{list_, recent_};
}

}  // namespace kd
