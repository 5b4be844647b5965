// The self-test's sides and screen-map groups read the standard placements;
// these cover a Mac away from the origin and ties.

#include "display/sides.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(SideTest, TheToleranceIsMeasuredFromWhereverTheMacIs) {
    const Rect mac{1000, 500, 1512, 982};
    struct Case {
        Rect screen;
        Side want;
    };
    const Case cases[] = {
        {{-600, 500, 1600, 1000}, Side::left},
        {{1000, -500, 1600, 1000}, Side::top},
        {{1000, -492, 1600, 1000}, Side::top},    // bottom edge 8 points in
        {{1000, -491, 1600, 1000}, Side::right},  // 9 points in: by its centre
        {{-5000, -3000, 1600, 1000}, Side::top},
        {{0, 1500, 1000, 800}, Side::left},  // below the Mac
    };
    for (const auto& c : cases) {
        EXPECT_EQ(side(c.screen, mac), c.want) << c.screen.x << ", " << c.screen.y;
    }
}

TEST(OccupantTest, SeveralHoldersAnswerTheFirstIdInTextOrder) {
    const std::map<std::string, Side> held = {
        {"zeta", Side::top}, {"Гостиная", Side::top}, {"alpha", Side::top}};
    EXPECT_EQ(occupant(Side::top, "nobody", held), "alpha");
    EXPECT_EQ(occupant(Side::top, "alpha", held), "zeta");
}

TEST(DropSideTest, ACentreOnTheTopEdgeIsNotAbove) {
    const Rect mac{0, 0, 2056, 1329};
    EXPECT_EQ(dropSide({2000, -20, 100, 40}, mac), Side::right);
    EXPECT_EQ(dropSide({2000, -20.5, 100, 40}, mac), Side::top);
    EXPECT_EQ(dropSide({978, 10, 100, 40}, mac), Side::right) << "centred exactly";
}

}  // namespace
}  // namespace kd
