#include <gtest/gtest.h>

#include <filesystem>

#include "selftest/group_harness.h"
#include "selftest/groups.h"
#include "support/files.h"
#include "support/saved_variable.h"

namespace kd {
namespace {

TEST(LidGuardGroupTest, EveryCheckPassesAndNothingIsLeftBehind) {
    SimPreferences defaults;
    GroupHarness harness(defaults);
    // The group's scratch folder goes under a temporary folder of the test's own.
    const testing::ScratchDir temporary;
    const testing::SavedVariable tmpdir("TMPDIR", temporary.path());
    SelfTest t;
    groups::testLidGuard(t, harness.context());
    EXPECT_EQ(t.failures(), std::vector<std::string>{});
    EXPECT_EQ(t.passed(), 8);
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
}

}  // namespace
}  // namespace kd
