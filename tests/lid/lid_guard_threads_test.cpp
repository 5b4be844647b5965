// The lid guard on the program's own scheduler: its readings and requests
// cross to background threads and come back to the main loop.

#include <gtest/gtest.h>

#include <atomic>

#include "display/sim_preferences.h"
#include "lid/lid_fixtures.h"
#include "lid/lid_guard.h"
#include "support/test_main_loop.h"

namespace kd {
namespace {

TEST(LidGuardThreadsTest, ReadingsAndRequestsComeBackToTheMainLoop) {
    TestMainLoop loop(testing::kPatience);
    SimSystemTools tools(defaultScenario().mac);
    SimPowerManager power(ScenarioPower{}, tools);
    SimPreferences defaults;
    testing::ScratchDir home;
    std::atomic<int> requests{0};
    // Gone before the ports it hands to its threads: it waits for them.
    ThreadScheduler scheduler(loop.poster());
    LidGuard guard({scheduler, tools, defaults,
                    [&](const std::string& command) {
                        ++requests;
                        testing::runPrivileged(power, command);
                        return AdminResult{true, ""};
                    }},
                   lidPaths((home.path() / "LidGuard").string(), power.root()));

    guard.refresh();
    ASSERT_TRUE(loop.runUntil([&] { return guard.tempC().get() == 30; }));

    guard.sleepNow();
    guard.refresh();
    ASSERT_TRUE(loop.runUntil([&] { return !guard.busy().get(); }));
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(power.timesSlept(), 1);
}

}  // namespace
}  // namespace kd
