#pragma once

// The one record that names a connectable screen device everywhere.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kd {

enum class DeviceKind { ipad, appletv, tv };

// Device key of the iPad found through Sidecar.
inline constexpr const char* kSidecarDeviceID = "sidecar";
// Device key of the virtual display.
inline constexpr const char* kVirtualDeviceID = "virtual";

struct Device {
    Device(std::string id, std::string name, DeviceKind kind, std::vector<std::string> matchKeys,
           std::string model, std::uint64_t features = 0, std::string host = "", int port = 7000)
        : id(std::move(id)),
          name(std::move(name)),
          kind(kind),
          matchKeys(std::move(matchKeys)),
          model(std::move(model)),
          features(features),
          host(std::move(host)),
          port(port) {}

    std::string id;  // stable across launches; the key of every per-device preference
    std::string name;
    DeviceKind kind;
    std::vector<std::string> matchKeys;  // identifier fragments in the Screen Mirroring menu
    std::string model;
    std::uint64_t features = 0;
    std::string host;
    int port = 7000;

    // Equal only when all eight fields are; text compares exactly.
    friend bool operator==(const Device&, const Device&) = default;
};

const char* toString(DeviceKind kind);

}  // namespace kd
