#include <gtest/gtest.h>

#include "display/device_prefs.h"
#include "display/sim_preferences.h"
#include "selftest/group_harness.h"
#include "selftest/groups.h"

namespace kd {
namespace {

// Keeps every write but reads back a value of the wrong type, so each round
// trip a group checks comes back broken.
class FailingReadPreferences : public SimPreferences {
  public:
    std::optional<PrefValue> value(const std::string& key) const override {
        if (!SimPreferences::value(key)) return std::nullopt;
        return PrefValue(std::int64_t{0});
    }
};

using Group = void (*)(SelfTest&, SelfTestContext&);

TEST(DisplayGroupsTest, PreferenceGroupsCleanUpEvenWhenTheirChecksFail) {
    for (const auto group : {Group{groups::testPinnedLabel}, Group{groups::testPrefs}}) {
        FailingReadPreferences defaults;
        GroupHarness harness(defaults);
        SelfTest t;
        group(t, harness.context());
        EXPECT_FALSE(t.failures().empty());
        EXPECT_TRUE(defaults.all().empty());
    }
}

TEST(DisplayGroupsTest, LeftoversOfAnEarlierRunDecideNothingAndOnlyTheirKeysGo) {
    SimPreferences defaults;
    defaults.set("theme", "dark");
    savePref(defaults, ModePref{1024, 768, false, 60}, "selftest.pinned");
    defaults.set("side.selftest.device", "left");
    for (const auto group : {Group{groups::testPinnedLabel}, Group{groups::testPrefs}}) {
        GroupHarness harness(defaults);
        SelfTest t;
        group(t, harness.context());
        EXPECT_TRUE(t.failures().empty()) << t.failures().front();
    }
    EXPECT_EQ(defaults.all(), (std::map<std::string, PrefValue>{{"theme", "dark"}}));
}

TEST(DisplayGroupsTest, APanelWithoutModesIsReported) {
    SimPreferences defaults;
    auto scenario = defaultScenario();
    scenario.displays[0].modes.clear();
    GroupHarness harness(defaults, scenario);
    SelfTest t;
    groups::testModeMatching(t, harness.context());
    EXPECT_EQ(t.failures(), (std::vector<std::string>{
                                "an exact mode is matched exactly \u2014 no modes to match",
                                "an impossible refresh falls back to the same size \u2014 got nil",
                                "this Mac reports a mode ladder \u2014 no modes at all"}));
}

}  // namespace
}  // namespace kd
