#include <gtest/gtest.h>

#include "display/device_prefs.h"
#include "mode_samples.h"
#include "sim_preferences.h"

namespace kd {
namespace {

PrefData bytes(const std::string& text) {
    return PrefData(text.begin(), text.end());
}

class DevicePrefsTest : public ::testing::Test {
  protected:
    SimPreferences defaults;
};

// Round trips of pins and sides are the self-test's; these are the stored forms.
TEST_F(DevicePrefsTest, APinIsDataUnderItsDevicesKeyAndGoesWhenTakenOff) {
    const std::string json = R"({"width":1,"height":1,"hidpi":true,"refresh":60})";
    defaults.set("mode.a", json);  // text, not data
    defaults.set("mode.b", bytes(json));
    EXPECT_FALSE(savedPref(defaults, "a"));
    EXPECT_EQ(savedPref(defaults, "b"), (ModePref{1, 1, true, 60}));
    savePref(defaults, std::nullopt, "b");
    EXPECT_FALSE(defaults.value("mode.b"));
}

TEST_F(DevicePrefsTest, SidesAreTheExactRawTexts) {
    saveSide(defaults, Side::top, "device");
    EXPECT_EQ(defaults.text("side.device"), "top");
    defaults.set("side.x", "Left");
    EXPECT_FALSE(savedSide(defaults, "x"));
    defaults.set("side.x", bytes("left"));
    EXPECT_FALSE(savedSide(defaults, "x")) << "data is not text";
}

TEST_F(DevicePrefsTest, CachedModesComeBackInOrder) {
    EXPECT_TRUE(cachedModes(defaults, "selftest.device").empty());
    cacheModes(defaults,
               {samples::mode(9, 2560, 1440, false, 60), samples::mode(4, 1194, 834, true, 120)},
               "selftest.device");
    EXPECT_EQ(cachedModes(defaults, "selftest.device"),
              (std::vector<ModePref>{{2560, 1440, false, 60}, {1194, 834, true, 120}}));

    defaults.set("modes.selftest.device", bytes("[{}]"));
    EXPECT_TRUE(cachedModes(defaults, "selftest.device").empty());
}

}  // namespace
}  // namespace kd
