#include "transport/tv_connect_policy.h"

namespace kd {

std::optional<TVConnectPolicy> tvConnectPolicyFromRaw(std::int32_t raw) {
    switch (raw) {
        case 0:
            return TVConnectPolicy::ask;
        case 1:
            return TVConnectPolicy::entireScreen;
        case 2:
            return TVConnectPolicy::windowOrApp;
        case 4:
            return TVConnectPolicy::extended;
        default:
            return std::nullopt;
    }
}

TVConnectPolicy tvConnectPolicyFor(AirPlayMode mode) {
    return mode == AirPlayMode::extend ? TVConnectPolicy::extended : TVConnectPolicy::entireScreen;
}

const char* toString(TVConnectPolicy policy) {
    switch (policy) {
        case TVConnectPolicy::ask:
            return "ask";
        case TVConnectPolicy::entireScreen:
            return "entireScreen";
        case TVConnectPolicy::windowOrApp:
            return "windowOrApp";
        case TVConnectPolicy::extended:
            return "extended";
    }
    return "?";
}

std::optional<TVConnectPolicy> tvConnectPolicy(const std::shared_ptr<SkyLightFramework>& skyLight) {
    if (!skyLight) return std::nullopt;
    const auto connectionID = skyLight->mainConnectionID();
    const auto getPolicy = skyLight->getTVConnectDefaultPolicy();
    if (!connectionID || !getPolicy) return std::nullopt;
    std::int32_t raw = -1;
    if (getPolicy(connectionID(), &raw) != 0) return std::nullopt;
    return tvConnectPolicyFromRaw(raw);
}

bool setTVConnectPolicy(const std::shared_ptr<SkyLightFramework>& skyLight,
                        TVConnectPolicy policy) {
    if (!skyLight) return false;
    const auto connectionID = skyLight->mainConnectionID();
    const auto setPolicy = skyLight->setTVConnectDefaultPolicy();
    if (!connectionID || !setPolicy) return false;
    return setPolicy(connectionID(), static_cast<std::int32_t>(policy)) == 0;
}

}  // namespace kd
