#include <gtest/gtest.h>

#include "display/sim_preferences.h"
#include "selftest/group_harness.h"
#include "selftest/groups.h"

namespace kd {
namespace {

TEST(BrowserShareGroupTest, PassesOverDamagedSettingsAndLeavesThemAlone) {
    SimPreferences defaults;
    defaults.set("share.fps", 1000);
    defaults.set("share.width", 5);
    defaults.set("share.quality", -1.0);
    const auto before = defaults.all();
    GroupHarness harness(defaults);
    SelfTest t;
    groups::testBrowserShare(t, harness.context());
    EXPECT_TRUE(t.failures().empty()) << t.failures().front();
    EXPECT_EQ(defaults.all(), before);
}

}  // namespace
}  // namespace kd
