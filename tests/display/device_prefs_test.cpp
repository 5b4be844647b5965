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

TEST_F(DevicePrefsTest, APinIsKeptUnderTheDevicesOwnKeyUntilTakenOff) {
    EXPECT_FALSE(savedPref(defaults, "selftest.pinned"));
    savePref(defaults, ModePref{3840, 2160, false, 60}, "selftest.pinned");
    EXPECT_EQ(savedPref(defaults, "selftest.pinned"), (ModePref{3840, 2160, false, 60}));
    EXPECT_FALSE(savedPref(defaults, "selftest.other"));
    ASSERT_TRUE(defaults.data("mode.selftest.pinned")) << "stored as data under mode. + id";

    savePref(defaults, std::nullopt, "selftest.pinned");
    EXPECT_FALSE(savedPref(defaults, "selftest.pinned"));
    EXPECT_TRUE(defaults.all().empty());
}

TEST_F(DevicePrefsTest, APinThatIsNotReadableDataIsNoPin) {
    const std::string json = R"({"width":1,"height":1,"hidpi":true,"refresh":60})";
    defaults.set("mode.a", json);  // text, not data
    defaults.set("mode.b", bytes(json));
    EXPECT_FALSE(savedPref(defaults, "a"));
    EXPECT_EQ(savedPref(defaults, "b"), (ModePref{1, 1, true, 60}));
}

TEST_F(DevicePrefsTest, SidesAreTheExactRawTexts) {
    EXPECT_FALSE(savedSide(defaults, "selftest.device"));
    saveSide(defaults, Side::top, "selftest.device");
    EXPECT_EQ(defaults.text("side.selftest.device"), "top");
    EXPECT_EQ(savedSide(defaults, "selftest.device"), Side::top);

    defaults.set("side.x", "Left");
    EXPECT_FALSE(savedSide(defaults, "x"));
    defaults.set("side.x", bytes("left"));
    EXPECT_FALSE(savedSide(defaults, "x")) << "data is not text";
    saveSide(defaults, Side::left, "virtual");
    EXPECT_EQ(savedSide(defaults, "virtual"), Side::left);
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
