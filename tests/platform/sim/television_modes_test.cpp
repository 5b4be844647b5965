#include "platform/sim/television_modes.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace kd {
namespace {

// Width, height, pixel width, pixel height.
using Size = std::array<int, 4>;

Size sizeOf(const ScenarioMode& mode) {
    return {mode.width, mode.height, mode.pixelWidth, mode.pixelHeight};
}

TEST(TelevisionModesTest, ModelsGiveTheirPanelsLadder) {
    struct Case {
        const char* name;
        std::optional<DeviceProfile> profile;
        std::set<Size> sizes;
        Size current;
        std::size_t rates;
    };
    const auto catalog = buildDeviceProfiles();
    for (const auto& c : std::vector<Case>{
             {"4K Apple TV",
              profile(catalog, "AppleTV14,1"),
              {{3840, 2160, 3840, 2160},
               {2560, 1440, 2560, 1440},
               {1920, 1080, 1920, 1080},
               {1920, 1080, 3840, 2160},
               {1280, 720, 2560, 1440}},
              {1920, 1080, 3840, 2160},
              5},
             {"unknown television",
              std::nullopt,
              {{1920, 1080, 1920, 1080},
               {1280, 720, 1280, 720},
               {960, 540, 960, 540},
               {960, 540, 1920, 1080},
               {640, 360, 1280, 720}},
              {1920, 1080, 1920, 1080},
              5},
             {"iPad-shaped panel, two rates",
              profile(catalog, "iPad16,6"),
              {{2752, 2064, 2752, 2064},
               {1834, 1376, 1834, 1376},
               {1376, 1032, 1376, 1032},
               {1376, 1032, 2752, 2064},
               {916, 688, 1832, 1376}},
              {2752, 2064, 2752, 2064},
              2},
         }) {
        SCOPED_TRACE(c.name);
        const auto ladder = televisionModes(c.profile);
        std::set<Size> sizes;
        std::set<std::int32_t> ids;
        for (const auto& mode : ladder.modes) {
            sizes.insert(sizeOf(mode));
            ids.insert(mode.id);
            EXPECT_TRUE(mode.usable);
            EXPECT_FALSE(mode.duplicate);
        }
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(ladder.modes.size(), c.sizes.size() * c.rates);
        EXPECT_EQ(ids.size(), ladder.modes.size()) << "every id once";
        const auto current =
            std::find_if(ladder.modes.begin(), ladder.modes.end(),
                         [&](const auto& m) { return m.id == ladder.currentMode; });
        ASSERT_NE(current, ladder.modes.end());
        EXPECT_EQ(sizeOf(*current), c.current);
        EXPECT_EQ(current->refresh, c.profile ? c.profile->refreshRates.front() : 60);
    }
}

}  // namespace
}  // namespace kd
