#include <gtest/gtest.h>

#include <unordered_set>

#include "virtual/virtual_geometry.h"
#include "virtual/virtual_preset.h"

namespace kd {
namespace {

struct LadderCase {
    int width;
    int height;
    bool hidpi;
    std::vector<PixelSize> ladder;
};

class ModeLadderTest : public ::testing::TestWithParam<LadderCase> {};

TEST_P(ModeLadderTest, OffersTheSizeItsHalfAndItsEvenScaledSteps) {
    const auto& c = GetParam();
    EXPECT_EQ(virtualModeLadder(c.width, c.height, c.hidpi), c.ladder);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ModeLadderTest,
    ::testing::Values(
        LadderCase{1920, 1080, true, {{960, 540}, {1920, 1080}, {1632, 918}, {1440, 810}}},
        LadderCase{1920, 1080, false, {{1920, 1080}, {1632, 918}, {1440, 810}}},
        // Halves rounded down to even; steps rounded half away from zero.
        LadderCase{834, 1194, true, {{416, 596}, {834, 1194}, {708, 1014}, {626, 896}}},
        // Steps under 320 × 240 are not offered.
        LadderCase{400, 300, false, {{400, 300}, {340, 256}}},
        // The half size is offered however small: the system shows it as Retina.
        LadderCase{320, 240, true, {{160, 120}, {320, 240}}},
        LadderCase{376, 282, false, {{376, 282}, {320, 240}}}));

TEST(VirtualGeometryTest, ActualTextNamesRetinaOnlyWhenPointsAreFewerThanPixels) {
    EXPECT_EQ(actualModeText({1, 1920, 1080, 3840, 2160, 60}),
              "1920\u00d71080 \u00b7 Retina 3840\u00d72160");
    EXPECT_EQ(actualModeText({1, 1920, 1080, 1920, 1080, 60}), "1920\u00d71080");
}

TEST(VirtualGeometryTest, PhysicalSizeIsAt110PixelsPerInch) {
    EXPECT_DOUBLE_EQ(millimetresAt110PerInch(1100), 254.0);
}

TEST(VirtualPresetTest, TheListIsFixedInOrderWithItsExactLabels) {
    const auto& presets = virtualPresets();
    ASSERT_EQ(presets.size(), 9u);
    EXPECT_EQ(presets[0], (VirtualPreset{"1080p", 1920, 1080}));
    EXPECT_EQ(presets[0].id(), "1920x1080");
    EXPECT_EQ(presets[4], (VirtualPreset{"iPhone \u00b7 landscape", 1920, 884}));
    EXPECT_EQ(presets[7], (VirtualPreset{"iPad \u00b7 portrait", 834, 1194}));
    EXPECT_EQ(presets[8], (VirtualPreset{"iPad 13\u2033", 1376, 1032}));
}

TEST(VirtualPresetTest, TheLabelIsPartOfTheValue) {
    const VirtualPreset named{"Desk", 1920, 1080};
    EXPECT_NE(named, virtualPresets()[0]);
    EXPECT_EQ(named.id(), virtualPresets()[0].id());
    const std::unordered_set<VirtualPreset> set(virtualPresets().begin(), virtualPresets().end());
    EXPECT_EQ(set.size(), 9u);
    EXPECT_FALSE(set.contains(named));
}

}  // namespace
}  // namespace kd
