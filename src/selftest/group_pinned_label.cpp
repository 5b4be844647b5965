#include "display/device_prefs.h"
#include "selftest/groups.h"
#include "selftest/scratch_keys.h"

namespace kd::groups {

void testPinnedLabel(SelfTest& t, SelfTestContext& context) {
    auto& defaults = context.platform.userDefaults;
    const std::string device = "selftest.pinned";
    const ScratchKeys scratch(defaults, {pinnedModeKey(device)});

    t.equal("nothing pinned, nothing to say", savedPref(defaults, device),
            std::optional<ModePref>());

    savePref(defaults, ModePref{3840, 2160, false, 60}, device);
    const auto pinned = savedPref(defaults, device);
    t.check("a pin survives to be described", pinned.has_value());
    t.equal("and it is the mode that was pinned",
            pinned ? sizeLabel(pinned->width, pinned->height, pinned->hidpi) : "nil",
            std::string("3840 \u00d7 2160"));
    t.equal("with its refresh rate", pinned ? pinned->refresh : 0, 60);
    t.equal("another device is unaffected", savedPref(defaults, "selftest.other"),
            std::optional<ModePref>());

    savePref(defaults, std::nullopt, device);
    t.equal("a pin can be taken back off", savedPref(defaults, device), std::optional<ModePref>());
}

}  // namespace kd::groups
