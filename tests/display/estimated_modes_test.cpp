#include <gtest/gtest.h>

#include "display/estimated_modes.h"
#include "model/device_profile.h"

namespace kd {
namespace {

TEST(EstimatedModesTest, CatalogRowGivesFourHiDPISizesAndThePanel) {
    const auto ipad = profile(buildDeviceProfiles(), "iPad8,9");
    ASSERT_TRUE(ipad);
    const std::vector<EstimatedMode> expected = {
        {"1194 \u00d7 834 HiDPI", 1194, 834, true}, {"1014 \u00d7 708 HiDPI", 1014, 708, true},
        {"860 \u00d7 600 HiDPI", 860, 600, true},   {"716 \u00d7 500 HiDPI", 716, 500, true},
        {"2388 \u00d7 1668", 2388, 1668, false},
    };
    EXPECT_EQ(estimatedModes(*ipad), expected);
}

TEST(EstimatedModesTest, HalvesRoundAwayFromZeroToEvenPoints) {
    // Half of 2390 is 1195: its half, 597.5, rounds up to 598 rungs of two points.
    const DeviceProfile odd{"x", "x", 2390, 1670, {60}, false};
    const auto modes = estimatedModes(odd);
    ASSERT_EQ(modes.size(), 5u);
    EXPECT_EQ(modes[0].width, 1196);
    EXPECT_EQ(modes[0].height, 836);
    EXPECT_EQ(modes[4].label, "2390 \u00d7 1670");
}

}  // namespace
}  // namespace kd
