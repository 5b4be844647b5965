#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "display/mode_matching.h"
#include "mode_samples.h"

namespace kd {
namespace {

using samples::mode;

TEST(ModeMatchingTest, ExactThenNearestRefreshThenSameSizeThenNothing) {
    const std::vector<DisplayMode> offered = {
        mode(1, 1920, 1080, true, 120), mode(2, 1920, 1080, true, 60),
        mode(3, 1920, 1080, true, 50),  mode(4, 1920, 1080, false, 60),
        mode(5, 1280, 720, false, 60),  mode(6, 1280, 720, false, 30),
    };
    struct Case {
        std::string name;
        ModePref pref;
        std::optional<std::int32_t> matched;
    };
    const std::vector<Case> cases = {
        {"exact, though a faster one comes first", {1920, 1080, true, 60}, 2},
        {"exact plain mode beside HiDPI ones", {1920, 1080, false, 60}, 4},
        {"impossible refresh: the nearest of the same kind", {1920, 1080, true, 999}, 1},
        {"nearest below", {1920, 1080, true, 52}, 3},
        {"a tie goes to the earlier mode", {1280, 720, false, 45}, 5},
        {"no mode of that kind: the first of that size", {1280, 720, true, 60}, 5},
        {"a size not offered", {3, 3, false, 60}, std::nullopt},
        {"the refresh cannot overflow the distance",
         {1920, 1080, true, std::numeric_limits<int>::min()},
         3},
    };
    for (const auto& c : cases) {
        const auto matched = matchMode(c.pref, offered);
        if (!c.matched) {
            EXPECT_FALSE(matched) << c.name;
            continue;
        }
        ASSERT_TRUE(matched) << c.name;
        EXPECT_EQ(matched->id, *c.matched) << c.name;
    }
    EXPECT_FALSE(matchMode({1920, 1080, true, 60}, {})) << "nothing offered";
}

}  // namespace
}  // namespace kd
