#include "model/marketing_name.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

void testArtwork(SelfTest& t, SelfTestContext& context) {
    const auto& types = context.platform.typeDatabase;
    const auto atv = fixtures::atv();
    const auto ipad = fixtures::ipad();
    const auto tv = fixtures::tv();

    t.check("Apple TV has Apple's own artwork",
            systemArtwork(types, atv.kind, atv.model).has_value());
    t.check("an iPad has Apple's own artwork",
            systemArtwork(types, ipad.kind, ipad.model).has_value());
    t.check("a third-party TV falls through to the drawn one",
            !systemArtwork(types, tv.kind, tv.model).has_value());

    const auto name = marketingName(types, atv.model);
    const auto catalogName = profile(context.values.deviceProfiles, atv.model);
    t.check("Apple's marketing name comes from the system",
            name.has_value() && !name->empty() && (!catalogName || *name != catalogName->marketing),
            [&] { return "got " + describe(name); });
    t.equal("an unknown model has no marketing name", marketingName(types, tv.model),
            std::optional<std::string>());
    t.equal("an empty model has no marketing name", marketingName(types, ""),
            std::optional<std::string>());
}

}  // namespace kd::groups
