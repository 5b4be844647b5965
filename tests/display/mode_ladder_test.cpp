#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/mode_ladder.h"
#include "mode_samples.h"

namespace kd {
namespace {

using samples::ids;
using samples::mode;
using samples::systemMode;

TEST(ModeLadderTest, KeepsFiltersDeduplicatesAndOrders) {
    struct Case {
        std::string name;
        std::vector<SystemDisplayMode> system;
        std::vector<std::int32_t> ladder;
    };
    const std::vector<Case> cases = {
        {"nothing offered", {}, {}},
        {"nothing usable",
         {systemMode(1, 640, 480, 640, 480, 60, false), systemMode(2, 0, 0, 0, 0, 60)},
         {}},
        {"HiDPI before plain at the same width; a wider mode before both",
         {systemMode(1, 1920, 1080, 1920, 1080, 60), systemMode(2, 1920, 1080, 3840, 2160, 60),
          systemMode(3, 2560, 1440, 2560, 1440, 60)},
         {3, 2, 1}},
        {"faster refresh first at the same width and kind",
         {systemMode(1, 1512, 982, 3024, 1964, 60), systemMode(2, 1512, 982, 3024, 1964, 120)},
         {2, 1}},
        {"another shape than the native panel is dropped",
         {systemMode(1, 3024, 1964, 3024, 1964, 60), systemMode(2, 1920, 1080, 1920, 1080, 60),
          systemMode(3, 1512, 982, 3024, 1964, 60)},
         {1, 3}},
        {"the native shape comes from the mode with most pixels, the first of equals",
         {systemMode(1, 1920, 1080, 1920, 1080, 60), systemMode(2, 1600, 1200, 1600, 1200, 60),
          systemMode(3, 3200, 2400, 3200, 2400, 60), systemMode(4, 3840, 2000, 3840, 2000, 60)},
         {3, 2}},
        {"a repeat of size, refresh and kind keeps the first",
         {systemMode(1, 1512, 982, 3024, 1964, 60), systemMode(2, 1512, 982, 3024, 1964, 60.4),
          systemMode(3, 1512, 982, 1512, 982, 60)},
         {1, 3}},
        {"height does not order: equal widths keep the system's order",
         {systemMode(1, 1920, 1190, 1920, 1190, 60), systemMode(2, 1920, 1200, 1920, 1200, 60)},
         {1, 2}},
        {"unusable modes do not decide the native shape",
         {systemMode(1, 3840, 2160, 3840, 2160, 60, false),
          systemMode(2, 1600, 1200, 1600, 1200, 60), systemMode(3, 800, 600, 800, 600, 60)},
         {2, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(modeLadder(c.system)), c.ladder) << c.name;
    }
}

TEST(ModeLadderTest, RecommendsHalfTheLargestElseTheBiggestOfItsShape) {
    struct Case {
        std::string name;
        std::vector<DisplayMode> ladder;
        std::optional<std::int32_t> recommended;
    };
    const std::vector<Case> cases = {
        {"empty ladder", {}, std::nullopt},
        {"half the largest, fastest refresh",
         {mode(1, 3024, 1964, false, 120), mode(2, 1800, 1169, true, 120),
          mode(3, 1512, 982, true, 60), mode(4, 1512, 982, true, 120),
          mode(5, 1512, 982, true, 120)},
         4},
        {"half size must be HiDPI",
         {mode(1, 3024, 1964, false, 60), mode(2, 1512, 982, false, 60)},
         1},
        {"otherwise the biggest HiDPI mode of the same shape",
         {mode(1, 3000, 2000, false, 60), mode(2, 1200, 800, true, 60),
          mode(3, 1440, 960, true, 60), mode(4, 1920, 1080, true, 60)},
         3},
        {"of equal size, the faster one",
         {mode(1, 3000, 2000, false, 60), mode(2, 1440, 960, true, 60),
          mode(3, 1440, 960, true, 120), mode(4, 1440, 960, true, 120)},
         3},
        {"no HiDPI mode of that shape: the largest itself",
         {mode(1, 1920, 1080, false, 60), mode(2, 2560, 1440, false, 60),
          mode(3, 1024, 768, true, 60)},
         2},
        {"of equal largest areas the first is the largest",
         {mode(1, 1600, 1200, false, 60), mode(2, 1920, 1000, false, 60),
          mode(3, 800, 600, true, 60)},
         3},
    };
    for (const auto& c : cases) {
        const auto recommended = recommendedFrom(c.ladder);
        if (!c.recommended) {
            EXPECT_FALSE(recommended) << c.name;
            continue;
        }
        ASSERT_TRUE(recommended) << c.name;
        EXPECT_EQ(recommended->id, *c.recommended) << c.name;
    }
}

}  // namespace
}  // namespace kd
