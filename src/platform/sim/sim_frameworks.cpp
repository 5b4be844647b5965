#include "platform/sim/sim_frameworks.h"

namespace kd {

SimSkyLight::SimSkyLight(const ScenarioSkyLight& scenario)
    : missing_(scenario.missingSymbols.begin(), scenario.missingSymbols.end()),
      rejectChanges_(scenario.rejectPolicyChanges),
      policy_(std::make_shared<Policy>()) {
    policy_->raw = scenario.tvConnectPolicy;
}

SkyLightFramework::MainConnectionID SimSkyLight::mainConnectionID() const {
    if (!has("SLSMainConnectionID")) return {};
    return [] { return kConnection; };
}

SkyLightFramework::GetTVConnectDefaultPolicy SimSkyLight::getTVConnectDefaultPolicy() const {
    if (!has("SLSGetTVConnectDefaultPolicy")) return {};
    return [state = policy_](std::int32_t connection, std::int32_t* policy) {
        if (connection != kConnection || policy == nullptr) return kFailure;
        const std::lock_guard lock(state->mutex);
        *policy = state->raw;
        return std::int32_t{0};
    };
}

SkyLightFramework::SetTVConnectDefaultPolicy SimSkyLight::setTVConnectDefaultPolicy() const {
    if (!has("SLSSetTVConnectDefaultPolicy")) return {};
    return
        [state = policy_, reject = rejectChanges_](std::int32_t connection, std::int32_t policy) {
            if (connection != kConnection || reject) return kFailure;
            const std::lock_guard lock(state->mutex);
            state->raw = policy;
            return std::int32_t{0};
        };
}

std::int32_t SimSkyLight::policy() const {
    const std::lock_guard lock(policy_->mutex);
    return policy_->raw;
}

SimCoreDisplay::SimCoreDisplay(const ScenarioFramework& scenario, SimWindowServer& windowServer)
    : missing_(scenario.missingSymbols.begin(), scenario.missingSymbols.end()),
      windowServer_(windowServer) {}

CoreDisplayFramework::SupportsHDRMode SimCoreDisplay::supportsHDRMode() const {
    if (!has("CoreDisplay_Display_SupportsHDRMode")) return {};
    return [this](DisplayID display) {
        const auto hdr = windowServer_.hdr(display);
        return hdr && hdr->supported;
    };
}

CoreDisplayFramework::IsHDRModeEnabled SimCoreDisplay::isHDRModeEnabled() const {
    if (!has("CoreDisplay_Display_IsHDRModeEnabled")) return {};
    return [this](DisplayID display) {
        const auto hdr = windowServer_.hdr(display);
        return hdr && hdr->enabled;
    };
}

CoreDisplayFramework::SetHDRModeEnabled SimCoreDisplay::setHDRModeEnabled() const {
    if (!has("CoreDisplay_Display_SetHDRModeEnabled")) return {};
    return
        [this](DisplayID display, bool enabled) { windowServer_.setHDREnabled(display, enabled); };
}

SimFrameworkLoader::SimFrameworkLoader(const Scenario& scenario, SimWindowServer& windowServer,
                                       std::shared_ptr<SimSidecar> sidecar)
    : skyLight_(std::make_shared<SimSkyLight>(scenario.skyLight)),
      skyLightPresent_(scenario.skyLight.present) {
    if (scenario.sidecarCore.present) {
        sidecarCore_ = std::make_shared<SimSidecarCore>(scenario.sidecarCore, std::move(sidecar));
    }
    if (scenario.coreDisplay.present) {
        coreDisplay_ = std::make_shared<SimCoreDisplay>(scenario.coreDisplay, windowServer);
    }
}

std::shared_ptr<SkyLightFramework> SimFrameworkLoader::openSkyLight() {
    if (!skyLightPresent_) return nullptr;
    return skyLight_;
}
std::shared_ptr<SidecarCoreFramework> SimFrameworkLoader::openSidecarCore() {
    return sidecarCore_;
}
std::shared_ptr<CoreDisplayFramework> SimFrameworkLoader::openCoreDisplay() {
    return coreDisplay_;
}

bool SimAccessibility::isProcessTrusted(bool prompt) {
    const std::lock_guard lock(mutex_);
    if (!trusted_ && prompt) ++prompts_;
    return trusted_;
}

void SimAccessibility::setTrusted(bool trusted) {
    const std::lock_guard lock(mutex_);
    trusted_ = trusted;
}

int SimAccessibility::promptsShown() const {
    const std::lock_guard lock(mutex_);
    return prompts_;
}

}  // namespace kd
