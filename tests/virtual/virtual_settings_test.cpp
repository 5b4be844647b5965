#include <gtest/gtest.h>

#include "display/sim_preferences.h"
#include "virtual/virtual_settings.h"

namespace kd {
namespace {

TEST(VirtualSettingsTest, AFreshInstallationIs1080pAt60HzWithRetina) {
    const SimPreferences defaults;
    EXPECT_EQ(loadVirtualSettings(defaults), (VirtualSettings{1920, 1080, 60, true}));
}

TEST(VirtualSettingsTest, StoredValuesAreKeptWhenTheEditorsCouldHaveMadeThem) {
    SimPreferences defaults;
    defaults.set(kVirtualWidthKey, 834);
    defaults.set(kVirtualHeightKey, 16384);
    defaults.set(kVirtualRefreshKey, 50);
    defaults.set(kVirtualHiDPIKey, false);
    EXPECT_EQ(loadVirtualSettings(defaults), (VirtualSettings{834, 16384, 50, false}));
}

TEST(VirtualSettingsTest, DamagedValuesReadAsTheirDefaults) {
    SimPreferences defaults;
    defaults.set(kVirtualRefreshKey, 59);
    defaults.set(kVirtualHiDPIKey, "yes");
    const std::vector<std::pair<std::int64_t, std::int64_t>> damaged{
        {0, 0}, {-1920, -1080}, {319, 239}, {16385, 16385}, {std::int64_t{1} << 40, 1}};
    for (const auto& [width, height] : damaged) {
        defaults.set(kVirtualWidthKey, width);
        defaults.set(kVirtualHeightKey, height);
        EXPECT_EQ(loadVirtualSettings(defaults), (VirtualSettings{1920, 1080, 60, true}))
            << width << " x " << height;
    }
    defaults.set(kVirtualWidthKey, "1280");
    EXPECT_EQ(loadVirtualSettings(defaults).width, 1920);
}

TEST(VirtualSettingsTest, TheInstallIDIsDrawnOnceThenKept) {
    SimPreferences defaults;
    int draws = 0;
    const auto draw = [&draws] {
        ++draws;
        return std::uint32_t{2147483646};
    };
    EXPECT_EQ(installID(defaults, draw), 2147483647u);
    EXPECT_EQ(installID(defaults, draw), 2147483647u);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(defaults.integer(kVirtualInstallIDKey), 2147483647);

    defaults.set(kVirtualInstallIDKey, -5);
    EXPECT_EQ(installID(defaults, [] { return std::uint32_t{0}; }), 1u)
        << "a serial the system could not hold is drawn again";
}

TEST(VirtualSettingsTest, DrawnSerialsStayInRange) {
    for (int i = 0; i < 100; ++i) EXPECT_LE(drawSerial(), 2147483646u);
}

}  // namespace
}  // namespace kd
