#pragma once

// The simulated private frameworks: SkyLight's TV connect policy, CoreDisplay's
// HDR switches over the simulated window server, and SidecarCore over the
// simulated Sidecar.
// A scenario can leave a framework out or hide single symbols.

#include <mutex>
#include <set>
#include <string>

#include "platform/platform.h"
#include "platform/sim/scenario.h"
#include "platform/sim/sim_sidecar.h"
#include "platform/sim/sim_window_server.h"

namespace kd {

class SimSkyLight : public SkyLightFramework {
  public:
    explicit SimSkyLight(const ScenarioSkyLight& scenario);

    MainConnectionID mainConnectionID() const override;
    GetTVConnectDefaultPolicy getTVConnectDefaultPolicy() const override;
    SetTVConnectDefaultPolicy setTVConnectDefaultPolicy() const override;

    std::int32_t policy() const;  // simulator control: what the window server holds

    static constexpr std::int32_t kConnection = 0x1a03;
    static constexpr std::int32_t kFailure = 1000;  // kCGErrorFailure

  private:
    bool has(const std::string& symbol) const { return !missing_.contains(symbol); }

    struct Policy {
        std::mutex mutex;
        std::int32_t raw;
    };

    std::set<std::string> missing_;
    bool rejectChanges_;
    // Shared with the looked-up functions, which callers may keep.
    std::shared_ptr<Policy> policy_;
};

class SimCoreDisplay : public CoreDisplayFramework {
  public:
    SimCoreDisplay(const ScenarioFramework& scenario, SimWindowServer& windowServer);

    SupportsHDRMode supportsHDRMode() const override;
    IsHDRModeEnabled isHDRModeEnabled() const override;
    SetHDRModeEnabled setHDRModeEnabled() const override;

  private:
    bool has(const std::string& symbol) const { return !missing_.contains(symbol); }

    std::set<std::string> missing_;
    SimWindowServer& windowServer_;
};

class SimFrameworkLoader : public FrameworkLoader {
  public:
    SimFrameworkLoader(const Scenario& scenario, SimWindowServer& windowServer,
                       std::shared_ptr<SimSidecar> sidecar);

    std::shared_ptr<SkyLightFramework> openSkyLight() override;
    std::shared_ptr<SidecarCoreFramework> openSidecarCore() override;
    std::shared_ptr<CoreDisplayFramework> openCoreDisplay() override;

    // Simulator control: the window server's TV connect policy, held even
    // when the scenario hides SkyLight from the program.
    std::int32_t tvConnectPolicy() const { return skyLight_->policy(); }

  private:
    std::shared_ptr<SimSkyLight> skyLight_;
    bool skyLightPresent_;
    std::shared_ptr<SimSidecarCore> sidecarCore_;
    std::shared_ptr<SimCoreDisplay> coreDisplay_;
};

class SimAccessibility : public Accessibility {
  public:
    explicit SimAccessibility(bool trusted) : trusted_(trusted) {}
    bool isProcessTrusted(bool prompt) override;

    // Simulator controls: the user answering the permission prompt.
    void setTrusted(bool trusted);
    int promptsShown() const;

  private:
    mutable std::mutex mutex_;
    bool trusted_;
    int prompts_ = 0;
};

}  // namespace kd
