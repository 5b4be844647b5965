#include <chrono>

#include "selftest/groups.h"
#include "transport/busy_guard.h"

namespace kd::groups {

void testStuckBusy(SelfTest& t, SelfTestContext& /*context*/) {
    using namespace std::chrono_literals;
    const auto now = Scheduler::TimePoint{} + 1h;
    const auto ceiling = 75s;

    t.check("busy with no stamp is not stuck", !busyIsStuck(true, std::nullopt, now, ceiling));
    t.check("a connect in progress is left alone", !busyIsStuck(true, now - 5s, now, ceiling));
    t.check("the slow AirPlay path is left alone", !busyIsStuck(true, now - 60s, now, ceiling));
    t.check("one that never came back is released", busyIsStuck(true, now - 600s, now, ceiling));
}

}  // namespace kd::groups
