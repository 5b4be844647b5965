#include "display/virtual_display_identity.h"
#include "dock/dock_state.h"
#include "selftest/fixtures.h"
#include "selftest/groups.h"

namespace kd::groups {

void testDisplaySettingsOffer(SelfTest& t, SelfTestContext& context) {
    // The bare controller: it schedules, scans and runs nothing.
    const VirtualDisplayIdentity noVirtualDisplay;
    DockState state(DockState::Ports{context.platform, context.values, noVirtualDisplay,
                                     [](const std::string&) { return ScriptResult{}; }});
    const auto iPad = fixtures::ipad();

    state.say("No screen from Test iPad", &iPad, true);
    t.check("the offer stands with its message",
            state.needsDisplaySettings.get() && state.statusKey == iPad.id);
    state.say("Connecting to Test iPad\u2026", &iPad);
    t.check("a later message without it takes it away", !state.needsDisplaySettings.get());
    state.say("Try again", &iPad, true);
    state.say("");
    t.check("clearing the status clears the offer",
            !state.needsDisplaySettings.get() && !state.statusKey && state.status.get().empty());
}

}  // namespace kd::groups
