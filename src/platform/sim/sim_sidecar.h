#pragma once

// The simulated SidecarCore: the scenario's iPads, the configuration Sidecar
// proposes for each, and what a connect does. A connect answers after the
// iPad's `delayMs` on the queue labelled kSimSidecarQueueLabel (Sidecar's own
// thread): first -100 ("still busy") as many times as the scenario says,
// then the scenario's error, or success with the screen "Sidecar Display
// (AirPlay)" plugged into the window server, extending the desktop at the
// size and scale of the configuration connected with. A disconnect takes the
// screen away.
//
// Thread-safe. Nothing calls back into the caller but the completions.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/scheduler.h"
#include "platform/sidecar_core.h"
#include "platform/sim/scenario.h"
#include "platform/sim/sim_window_server.h"

namespace kd {

inline constexpr const char* kSimSidecarQueueLabel = "com.kelvane1.display.sim.sidecar";
inline constexpr const char* kSidecarScreenName = "Sidecar Display (AirPlay)";

class SimSidecar : public SidecarDisplayManager, public std::enable_shared_from_this<SimSidecar> {
  public:
    // `windowServer` and `scheduler` must outlive every call that reaches
    // them: the simulated Mac owns all three.
    SimSidecar(const std::vector<ScenarioSidecarDevice>& iPads, SimWindowServer& windowServer,
               Scheduler& scheduler);

    std::optional<DeviceList> devices() const override;
    std::optional<DeviceList> connectedDevices() const override;
    std::shared_ptr<SidecarDisplayConfig> configForDevice(
        const SidecarDevice& device) const override;
    void connectToDevice(const SidecarDevice& device, Completion completion) override;
    void connectToDevice(const SidecarDevice& device, const SidecarDisplayConfig& config,
                         Completion completion) override;
    void disconnectFromDevice(const SidecarDevice& device, Completion completion) override;

    // What one connect asked for: the configuration's size and scale, or
    // nothing when it was called without one.
    struct ConnectCall {
        std::string device;
        std::optional<SidecarSize> size;
        std::optional<double> scale;
    };

    // Simulator controls.
    std::vector<ConnectCall> connectCalls() const;
    int disconnectCalls() const;
    // From now on a disconnect leaves the screen up and never answers, as a
    // hung Sidecar does.
    void hangDisconnects();
    // Names of the iPads whose screen is up.
    std::vector<std::string> connectedNames() const;
    // The iPad drops off (asleep, out of range): its screen goes, with no
    // completion to anybody.
    void drop(const std::string& name);
    // The iPad leaves Sidecar's list (out of reach, or unpaired), taking its
    // screen with it.
    void remove(const std::string& name);
    // Connects from Control Centre's Screen Mirroring menu, by the iPad's
    // identifier: the same screen, after the same delay, without a
    // completion. False when no iPad has that identifier.
    bool connectFromMenu(const std::string& identifier);
    bool disconnectFromMenu(const std::string& identifier);
    bool connectedByIdentifier(const std::string& identifier) const;

  private:
    struct IPad {
        ScenarioSidecarDevice scenario;
        std::shared_ptr<SidecarDevice> device;
        int busyLeft = 0;
        DisplayID display = 0;
        bool connecting = false;
    };

    IPad* find(const SidecarDevice& device);
    IPad* findByIdentifier(const std::string& identifier);
    void startConnect(IPad& iPad, SidecarSize size, double scale, Completion completion);
    void finishConnect(const std::string& identifier, SidecarSize size, double scale,
                       const Completion& completion);
    void takeScreenAway(IPad& iPad);

    SimWindowServer& windowServer_;
    Scheduler& scheduler_;
    mutable std::mutex mutex_;
    std::vector<IPad> iPads_;
    std::vector<ConnectCall> calls_;
    int disconnects_ = 0;
    bool disconnectsHang_ = false;
};

class SimSidecarCore : public SidecarCoreFramework {
  public:
    SimSidecarCore(const ScenarioSidecar& scenario, std::shared_ptr<SimSidecar> manager);
    std::shared_ptr<SidecarDisplayManagerClass> displayManagerClass() const override;

  private:
    std::shared_ptr<SidecarDisplayManagerClass> class_;  // null: the class is missing
};

}  // namespace kd
