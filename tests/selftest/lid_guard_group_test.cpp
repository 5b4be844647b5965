#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "selftest/group_harness.h"
#include "selftest/groups.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

TEST(LidGuardGroupTest, EveryCheckPassesAndNothingIsLeftBehind) {
    SimPreferences defaults;
    GroupHarness harness(defaults);
    auto& context = harness.context();

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
