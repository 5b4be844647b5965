#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "display/sim_preferences.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "selftest/groups.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

TEST(LidGuardGroupTest, EveryCheckPassesAndNothingIsLeftBehind) {
    VirtualScheduler scheduler;
    SimMac mac(defaultScenario(), scheduler);
    SimPreferences defaults;
    Platform platform{
        scheduler,          mac.windowServer(), mac.frameworks(),      mac.accessibility(),
        mac.typeDatabase(), defaults,           mac.sidecarSettings(), mac.tools()};
    const auto values = createProcessValues(platform.frameworks);
    SelfTestContext context{platform, *values, ScriptInterpreter{}};

    // The group's scratch folder goes under a temporary folder of the test's own.
    const testing::ScratchDir temporary;
    const char* saved = std::getenv("TMPDIR");
    const std::string restore = saved == nullptr ? "" : saved;
    ::setenv("TMPDIR", temporary.path().c_str(), 1);
    SelfTest t;
    groups::testLidGuard(t, context);
    if (saved == nullptr) {
        ::unsetenv("TMPDIR");
    } else {
        ::setenv("TMPDIR", restore.c_str(), 1);
    }

    EXPECT_EQ(t.failures(), std::vector<std::string>{});
    EXPECT_EQ(t.passed(), 8);
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
}

}  // namespace
}  // namespace kd
