#include "transport/busy_guard.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(BusyGuardTest, OnlyABusyOperationPastTheCeilingIsStuck) {
    const auto now = Scheduler::TimePoint{} + 24h;
    const auto ceiling = 75s;
    struct Case {
        const char* what;
        bool busy;
        std::optional<Scheduler::Duration> age;
        bool stuck;
    };
    const Case cases[] = {
        {"busy with no stamp", true, std::nullopt, false},
        {"the slow AirPlay path", true, 60s, false},
        {"exactly at the ceiling", true, 75s, false},
        {"just past the ceiling", true, 75s + 1ns, true},
        {"stamped in the future", true, -10s, false},
        {"idle, however old", false, 100h, false},
    };
    for (const auto& c : cases) {
        std::optional<Scheduler::TimePoint> since;
        if (c.age) since = now - *c.age;
        EXPECT_EQ(busyIsStuck(c.busy, since, now, ceiling), c.stuck) << c.what;
    }
}

}  // namespace
}  // namespace kd
