#include "selftest/fixtures.h"
#include "selftest/groups.h"
#include "transport/connect_outcome.h"

namespace kd::groups {

void testConnectOutcome(SelfTest& t, SelfTestContext& /*context*/) {
    const auto tv = fixtures::tv();
    const auto ipad = fixtures::ipad();
    const auto atv = fixtures::atv();

    const auto worked = connectOutcome(true, true, false);
    t.check("nothing is said when it simply worked",
            !outcomeMessage(worked, tv.name, true) && !outcomeMessage(worked, ipad.name, false));

    // The mirroring fact must not matter while no screen has arrived.
    const auto waiting = connectOutcome(true, false, true);
    const auto overAirPlay = outcomeMessage(waiting, tv.name, true).value_or("");
    t.check("the waiting state names the device", overAirPlay.starts_with(tv.name),
            [&] { return "got " + overAirPlay; });
    t.check("and sends the user where the choice actually is",
            overAirPlay.find("Displays settings") != std::string::npos,
            [&] { return "got " + overAirPlay; });

    const auto overSidecar = outcomeMessage(waiting, ipad.name, false).value_or("");
    t.check("it does not claim the connection failed",
            overSidecar.find("no second screen") != std::string::npos &&
                overSidecar.find("fail") == std::string::npos,
            [&] { return "got " + overSidecar; });
    t.check("Sidecar is not sent to Displays settings",
            overSidecar.find("Displays settings") == std::string::npos,
            [&] { return "got " + overSidecar; });

    t.equal("a duplicate is told how to extend",
            outcomeMessage(connectOutcome(true, true, true), atv.name, true).value_or(""),
            atv.name + " is duplicating this Mac \u2014 press an arrow to extend instead");
}

}  // namespace kd::groups
