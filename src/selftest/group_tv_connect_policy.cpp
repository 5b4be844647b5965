#include "selftest/groups.h"
#include "transport/tv_connect_policy.h"

namespace kd::groups {

void testTVConnectPolicy(SelfTest& t, SelfTestContext& context) {
    // The live read must never fail; on a Mac without the policy it is none.
    const auto& skyLight = context.values.skyLight;
    const auto current = tvConnectPolicy(skyLight);
    t.equal("reading the TV connect policy leaves it as it was", tvConnectPolicy(skyLight),
            current);

    t.equal("without SkyLight the policy reads as none", tvConnectPolicy(nullptr),
            std::optional<TVConnectPolicy>());
    t.check("without SkyLight no policy is set",
            !setTVConnectPolicy(nullptr, TVConnectPolicy::extended));
    t.equal("raw policy 3 is no policy", tvConnectPolicyFromRaw(3),
            std::optional<TVConnectPolicy>());

    bool roundTrips = true;
    for (const auto policy : {TVConnectPolicy::ask, TVConnectPolicy::entireScreen,
                              TVConnectPolicy::windowOrApp, TVConnectPolicy::extended}) {
        roundTrips = roundTrips && tvConnectPolicyFromRaw(static_cast<std::int32_t>(policy)) ==
                                       std::optional(policy);
    }
    t.check("every policy keeps the window server's number", roundTrips);

    t.equal("extending asks for the extended policy",
            static_cast<std::int32_t>(tvConnectPolicyFor(AirPlayMode::extend)), 4);
    t.equal("duplicating asks for the entire screen",
            static_cast<std::int32_t>(tvConnectPolicyFor(AirPlayMode::duplicate)), 1);
}

}  // namespace kd::groups
