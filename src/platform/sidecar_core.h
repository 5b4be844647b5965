#pragma once

// The private SidecarCore framework, opened once at start-up. A null handle
// means Sidecar is unavailable on this Mac and every Sidecar query answers
// "none".
//
// Shaped like the framework: the class "SidecarDisplayManager" looked up by
// name, its shared manager, the iPads ("SidecarDevice") and the display
// configuration Sidecar proposes for each. Device and configuration objects
// belong to the framework; callers hold them for one call only.
//
// Contract:
// - Lookups, queries and the connect and disconnect calls may come from any
//   thread and answer at once.
// - A completion is called exactly once, later, on a thread of the
//   framework's own (never the caller's), with nothing on success or the
//   error.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kd {

// Sidecar's error, bridged to a system error object.
struct SidecarError {
    std::int64_t code = 0;
    std::optional<std::string> localizedFailureReason;
    std::string localizedDescription;
    friend bool operator==(const SidecarError&, const SidecarError&) = default;
};

class SidecarDevice {
  public:
    virtual ~SidecarDevice() = default;
    virtual std::string name() const = 0;   // empty when Sidecar gives none
    virtual std::string model() const = 0;  // hardware model identifier; empty when none
    virtual bool offersAdditionalDisplay() const = 0;
};

struct SidecarSize {
    double width = 0;
    double height = 0;
};

class SidecarDisplayConfig {
  public:
    virtual ~SidecarDisplayConfig() = default;
    virtual SidecarSize size() const = 0;
    virtual double scale() const = 0;
    virtual std::optional<double> framerate() const = 0;
    virtual std::optional<bool> hdr() const = 0;
    virtual void setSize(SidecarSize size) = 0;
    virtual void setScale(double scale) = 0;
};

class SidecarDisplayManager {
  public:
    using Completion = std::function<void(std::optional<SidecarError>)>;
    using DeviceList = std::vector<std::shared_ptr<SidecarDevice>>;

    virtual ~SidecarDisplayManager() = default;
    // Nothing when the framework gives no list.
    virtual std::optional<DeviceList> devices() const = 0;
    virtual std::optional<DeviceList> connectedDevices() const = 0;
    virtual std::shared_ptr<SidecarDisplayConfig> configForDevice(
        const SidecarDevice& device) const = 0;
    virtual void connectToDevice(const SidecarDevice& device, Completion completion) = 0;
    virtual void connectToDevice(const SidecarDevice& device, const SidecarDisplayConfig& config,
                                 Completion completion) = 0;
    virtual void disconnectFromDevice(const SidecarDevice& device, Completion completion) = 0;
};

// The class "SidecarDisplayManager" as the runtime finds it by name.
class SidecarDisplayManagerClass {
  public:
    virtual ~SidecarDisplayManagerClass() = default;
    virtual bool respondsToSharedManager()
        const = 0;  // respondsToSelector:@selector(sharedManager)
    virtual std::shared_ptr<SidecarDisplayManager> sharedManager() const = 0;
    virtual bool isSupported() const = 0;  // this Mac can run Sidecar at all
};

class SidecarCoreFramework {
  public:
    virtual ~SidecarCoreFramework() = default;
    // NSClassFromString("SidecarDisplayManager"); null when the class is missing.
    virtual std::shared_ptr<SidecarDisplayManagerClass> displayManagerClass() const = 0;
};

}  // namespace kd
