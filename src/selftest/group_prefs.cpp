#include "display/device_prefs.h"
#include "selftest/groups.h"
#include "selftest/scratch_keys.h"

namespace kd::groups {

void testPrefs(SelfTest& t, SelfTestContext& context) {
    auto& defaults = context.platform.userDefaults;
    const std::string device = "selftest.device";
    const ScratchKeys scratch(defaults,
                              {pinnedModeKey(device), sideKey(device), cachedModesKey(device)});

    t.equal("an unknown device has no saved side", savedSide(defaults, device),
            std::optional<Side>());
    saveSide(defaults, Side::top, device);
    t.equal("the side survives a round trip", savedSide(defaults, device),
            std::optional<Side>(Side::top));

    const ModePref pref{3200, 2244, true, 60};
    savePref(defaults, pref, device);
    t.equal("the mode survives a round trip", savedPref(defaults, device),
            std::optional<ModePref>(pref));
    defaults.remove(pinnedModeKey(device));
    t.equal("clearing the mode removes it", savedPref(defaults, device), std::optional<ModePref>());
}

}  // namespace kd::groups
