#include <gtest/gtest.h>

#include "display/sim_preferences.h"
#include "selftest/group_harness.h"
#include "selftest/groups.h"
#include "support/account_model.h"

namespace kd {
namespace {

TEST(AccountGroupTest, PassesOnEveryRunAndNeverTouchesTheUsersCard) {
    SimPreferences defaults;
    defaults.set(kAccountEmailKey, "owner@example.com");
    defaults.set(kAccountRegisteredKey, true);
    const auto before = defaults.all();
    GroupHarness harness(defaults);
    // A second run once found the first run's card, and its offer used up.
    for (int run = 0; run < 2; ++run) {
        SelfTest t;
        groups::testAccount(t, harness.context());
        EXPECT_EQ(t.failures(), std::vector<std::string>{}) << "run " << run;
        EXPECT_EQ(t.passed(), 10) << "run " << run;
    }
    EXPECT_EQ(defaults.all(), before);
}

}  // namespace
}  // namespace kd
