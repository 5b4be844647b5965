#include "platform/sim/sim_sidecar.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace kd {

namespace {

constexpr std::int64_t kBusyCode = -100;
constexpr std::int64_t kOutOfRangeCode = -204;
// How long Sidecar takes to let go of an iPad.
constexpr std::chrono::milliseconds kDisconnectDelay{300};
// What Sidecar proposes for an iPad that the scenario gives no configuration.
constexpr SidecarSize kFallbackSize{1366, 1024};

class Device : public SidecarDevice {
  public:
    explicit Device(const ScenarioSidecarDevice& scenario)
        : name_(scenario.name), model_(scenario.model), offers_(scenario.offersDisplay) {}
    std::string name() const override { return name_; }
    std::string model() const override { return model_; }
    bool offersAdditionalDisplay() const override { return offers_; }

  private:
    const std::string name_;
    const std::string model_;
    const bool offers_;
};

class Config : public SidecarDisplayConfig {
  public:
    explicit Config(const ScenarioSidecarConfig& scenario)
        : size_{scenario.width, scenario.height},
          scale_(scenario.scale),
          framerate_(scenario.framerate),
          hdr_(scenario.hdr) {}
    SidecarSize size() const override { return size_; }
    double scale() const override { return scale_; }
    std::optional<double> framerate() const override { return framerate_; }
    std::optional<bool> hdr() const override { return hdr_; }
    void setSize(SidecarSize size) override { size_ = size; }
    void setScale(double scale) override { scale_ = scale; }

  private:
    SidecarSize size_;
    double scale_;
    std::optional<double> framerate_;
    std::optional<bool> hdr_;
};

class ManagerClass : public SidecarDisplayManagerClass {
  public:
    ManagerClass(std::shared_ptr<SimSidecar> manager, bool respondsToSharedManager, bool supported)
        : manager_(std::move(manager)), responds_(respondsToSharedManager), supported_(supported) {}
    bool respondsToSharedManager() const override { return responds_; }
    std::shared_ptr<SidecarDisplayManager> sharedManager() const override {
        return responds_ ? manager_ : nullptr;
    }
    bool isSupported() const override { return supported_; }

  private:
    std::shared_ptr<SimSidecar> manager_;
    bool responds_;
    bool supported_;
};

bool has(const std::vector<std::string>& missing, const char* symbol) {
    return std::find(missing.begin(), missing.end(), symbol) != missing.end();
}

// The one mode of Sidecar's screen: the configuration connected with.
ScenarioDisplay sidecarScreen(SidecarSize size, double scale, double refresh) {
    ScenarioMode mode;
    mode.id = 1;
    mode.width = static_cast<int>(size.width);
    mode.height = static_cast<int>(size.height);
    mode.pixelWidth = static_cast<int>(std::lround(size.width * scale));
    mode.pixelHeight = static_cast<int>(std::lround(size.height * scale));
    mode.refresh = refresh;
    ScenarioDisplay screen;
    screen.name = kSidecarScreenName;
    screen.modes = {mode};
    screen.currentMode = mode.id;
    screen.bounds.width = mode.width;
    screen.bounds.height = mode.height;
    return screen;
}

}  // namespace

SimSidecar::SimSidecar(const std::vector<ScenarioSidecarDevice>& iPads,
                       SimWindowServer& windowServer, Scheduler& scheduler)
    : windowServer_(windowServer), scheduler_(scheduler) {
    for (const auto& scenario : iPads) {
        iPads_.push_back(
            IPad{scenario, std::make_shared<Device>(scenario), scenario.connect.busyTimes});
    }
}

std::optional<SimSidecar::DeviceList> SimSidecar::devices() const {
    const std::lock_guard lock(mutex_);
    DeviceList list;
    for (const auto& iPad : iPads_) list.push_back(iPad.device);
    return list;
}

std::optional<SimSidecar::DeviceList> SimSidecar::connectedDevices() const {
    const std::lock_guard lock(mutex_);
    DeviceList list;
    for (const auto& iPad : iPads_) {
        if (iPad.display != 0) list.push_back(iPad.device);
    }
    return list;
}

std::shared_ptr<SidecarDisplayConfig> SimSidecar::configForDevice(
    const SidecarDevice& device) const {
    const std::lock_guard lock(mutex_);
    for (const auto& iPad : iPads_) {
        if (iPad.device.get() == &device && iPad.scenario.config) {
            return std::make_shared<Config>(*iPad.scenario.config);
        }
    }
    return nullptr;
}

void SimSidecar::connectToDevice(const SidecarDevice& device, Completion completion) {
    const std::lock_guard lock(mutex_);
    calls_.push_back({device.name(), std::nullopt, std::nullopt});
    if (auto* iPad = find(device)) {
        const auto& config = iPad->scenario.config;
        const SidecarSize size =
            config ? SidecarSize{config->width, config->height} : kFallbackSize;
        startConnect(*iPad, size, config ? config->scale : 2.0, std::move(completion));
    }
}

void SimSidecar::connectToDevice(const SidecarDevice& device, const SidecarDisplayConfig& config,
                                 Completion completion) {
    const std::lock_guard lock(mutex_);
    calls_.push_back({device.name(), config.size(), config.scale()});
    if (auto* iPad = find(device)) {
        startConnect(*iPad, config.size(), config.scale(), std::move(completion));
    }
}

void SimSidecar::startConnect(IPad& iPad, SidecarSize size, double scale, Completion completion) {
    const auto& plan = iPad.scenario.connect;
    std::optional<SidecarError> error;
    if (iPad.busyLeft > 0) {
        --iPad.busyLeft;
        error = SidecarError{kBusyCode, std::nullopt, "The device is busy."};
    } else if (plan.error) {
        error = SidecarError{plan.error->code, plan.error->failureReason, plan.error->description};
    }
    iPad.connecting = !error;
    scheduler_.after(std::chrono::milliseconds(plan.delayMs), Queue::serial(kSimSidecarQueueLabel),
                     [weak = weak_from_this(), identifier = iPad.scenario.identifier, size, scale,
                      error, completion = std::move(completion)] {
                         const auto self = weak.lock();
                         if (!self) return;
                         if (error) {
                             if (completion) completion(error);
                             return;
                         }
                         self->finishConnect(identifier, size, scale, completion);
                     });
}

void SimSidecar::finishConnect(const std::string& identifier, SidecarSize size, double scale,
                               const Completion& completion) {
    bool cameUp = false;
    {
        const std::lock_guard lock(mutex_);
        auto* iPad = findByIdentifier(identifier);
        // Dropped or disconnected while connecting: nothing comes up.
        cameUp = iPad != nullptr && iPad->connecting;
        if (iPad != nullptr && cameUp) {
            iPad->connecting = false;
            const auto& config = iPad->scenario.config;
            const double refresh = config && config->framerate ? *config->framerate : 60.0;
            if (iPad->display == 0) {
                iPad->display = windowServer_.plugInExtending(sidecarScreen(size, scale, refresh));
            }
        }
    }
    if (!completion) return;
    completion(cameUp ? std::nullopt
                      : std::optional(
                            SidecarError{kOutOfRangeCode, std::nullopt, "The device went away."}));
}

void SimSidecar::disconnectFromDevice(const SidecarDevice& device, Completion completion) {
    {
        const std::lock_guard lock(mutex_);
        ++disconnects_;
        if (disconnectsHang_) return;
        if (auto* iPad = find(device)) takeScreenAway(*iPad);
    }
    scheduler_.after(kDisconnectDelay, Queue::serial(kSimSidecarQueueLabel),
                     [completion = std::move(completion)] {
                         if (completion) completion(std::nullopt);
                     });
}

void SimSidecar::takeScreenAway(IPad& iPad) {
    iPad.connecting = false;
    if (iPad.display != 0) windowServer_.unplug(std::exchange(iPad.display, 0));
}

SimSidecar::IPad* SimSidecar::find(const SidecarDevice& device) {
    for (auto& iPad : iPads_) {
        if (iPad.device.get() == &device) return &iPad;
    }
    return nullptr;
}

SimSidecar::IPad* SimSidecar::findByIdentifier(const std::string& identifier) {
    for (auto& iPad : iPads_) {
        if (iPad.scenario.identifier == identifier) return &iPad;
    }
    return nullptr;
}

std::vector<SimSidecar::ConnectCall> SimSidecar::connectCalls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

int SimSidecar::disconnectCalls() const {
    const std::lock_guard lock(mutex_);
    return disconnects_;
}

void SimSidecar::hangDisconnects() {
    const std::lock_guard lock(mutex_);
    disconnectsHang_ = true;
}

std::vector<std::string> SimSidecar::connectedNames() const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const auto& iPad : iPads_) {
        if (iPad.display != 0) names.push_back(iPad.scenario.name);
    }
    return names;
}

void SimSidecar::drop(const std::string& name) {
    const std::lock_guard lock(mutex_);
    for (auto& iPad : iPads_) {
        if (iPad.scenario.name == name) takeScreenAway(iPad);
    }
}

void SimSidecar::remove(const std::string& name) {
    const std::lock_guard lock(mutex_);
    for (auto& iPad : iPads_) {
        if (iPad.scenario.name == name) takeScreenAway(iPad);
    }
    std::erase_if(iPads_, [&](const IPad& iPad) { return iPad.scenario.name == name; });
}

bool SimSidecar::connectFromMenu(const std::string& identifier) {
    const std::lock_guard lock(mutex_);
    auto* iPad = findByIdentifier(identifier);
    if (iPad == nullptr) return false;
    if (iPad->display == 0 && !iPad->connecting) {
        const auto& config = iPad->scenario.config;
        const SidecarSize size =
            config ? SidecarSize{config->width, config->height} : kFallbackSize;
        startConnect(*iPad, size, config ? config->scale : 2.0, nullptr);
    }
    return true;
}

bool SimSidecar::disconnectFromMenu(const std::string& identifier) {
    const std::lock_guard lock(mutex_);
    auto* iPad = findByIdentifier(identifier);
    if (iPad == nullptr) return false;
    takeScreenAway(*iPad);
    return true;
}

bool SimSidecar::connectedByIdentifier(const std::string& identifier) const {
    const std::lock_guard lock(mutex_);
    for (const auto& iPad : iPads_) {
        if (iPad.scenario.identifier == identifier) return iPad.display != 0 || iPad.connecting;
    }
    return false;
}

SimSidecarCore::SimSidecarCore(const ScenarioSidecar& scenario,
                               std::shared_ptr<SimSidecar> manager) {
    if (has(scenario.missingSymbols, "SidecarDisplayManager")) return;
    class_ = std::make_shared<ManagerClass>(
        std::move(manager), !has(scenario.missingSymbols, "sharedManager"), scenario.supported);
}

std::shared_ptr<SidecarDisplayManagerClass> SimSidecarCore::displayManagerClass() const {
    return class_;
}

}  // namespace kd
