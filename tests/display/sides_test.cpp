#include "display/sides.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

const Rect kMac{0, 0, 2056, 1329};

TEST(SideTest, AScreenReadsByItsBottomEdgeThenItsCentre) {
    struct Case {
        const char* what;
        Rect screen;
        Side want;
    };
    const Case cases[] = {
        {"off the left edge", {-1600, 207, 1600, 1122}, Side::left},
        {"off the right edge", {2056, 207, 1600, 1122}, Side::right},
        {"resting on the top edge", {228, -1122, 1600, 1122}, Side::top},
        {"bottom edge 8 points below the top edge", {-1500, -1114, 1600, 1122}, Side::top},
        {"9 points below, centred left", {-1500, -1113, 1600, 1122}, Side::left},
        {"9 points below, centred right", {1500, -1113, 1600, 1122}, Side::right},
        {"far above and far to the left", {-5000, -3000, 1600, 1122}, Side::top},
        {"below the Mac, centred left", {0, 1329, 1000, 800}, Side::left},
        {"centred exactly on the Mac", {228, 103, 1600, 1122}, Side::right},
    };
    for (const auto& c : cases) EXPECT_EQ(side(c.screen, kMac), c.want) << c.what;
}

TEST(SideTest, TheMacNeedNotSitAtTheOrigin) {
    const Rect mac{1000, 500, 1512, 982};
    EXPECT_EQ(side({-600, 500, 1600, 1000}, mac), Side::left);
    EXPECT_EQ(side({1000, -500, 1600, 1000}, mac), Side::top);
    EXPECT_EQ(side({1000, -492, 1600, 1000}, mac), Side::top);
    EXPECT_EQ(side({1000, -491, 1600, 1000}, mac), Side::right);
}

TEST(OccupantTest, ASideIsHeldByAnyoneButTheOneAsking) {
    const auto held = occupiedSides(
        {{"sidecar", {-1600, 207, 1600, 1122}}, {"virtual", {2056, 207, 1600, 1122}}}, kMac);
    ASSERT_EQ(held,
              (std::map<std::string, Side>{{"sidecar", Side::left}, {"virtual", Side::right}}));

    struct Case {
        Side of;
        const char* excluding;
        std::optional<std::string> want;
    };
    const Case cases[] = {
        {Side::left, "Гостиная", "sidecar"},    {Side::left, "A neighbour's MacBook", "sidecar"},
        {Side::left, "sidecar", std::nullopt},  {Side::right, "sidecar", "virtual"},
        {Side::right, "virtual", std::nullopt}, {Side::top, "Гостиная", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(occupant(c.of, c.excluding, held), c.want)
            << toString(c.of) << " excluding " << c.excluding;
    }
}

TEST(OccupantTest, SeveralHoldersAnswerTheFirstIdInTextOrder) {
    const std::map<std::string, Side> held = {
        {"zeta", Side::top}, {"Гостиная", Side::top}, {"alpha", Side::top}};
    EXPECT_EQ(occupant(Side::top, "nobody", held), "alpha");
    EXPECT_EQ(occupant(Side::top, "alpha", held), "zeta");
    EXPECT_TRUE(occupiedSides({}, kMac).empty());
    EXPECT_EQ(occupant(Side::left, "alpha", {}), std::nullopt);
}

TEST(DropSideTest, OnlyACentreClearAboveTheMacCountsAsTop) {
    struct Case {
        const char* what;
        Rect dropped;
        Side want;
    };
    const Case cases[] = {
        {"centred left, below the top edge", {-100, 10, 60, 40}, Side::left},
        {"centred right, below the top edge", {2000, 10, 100, 40}, Side::right},
        {"centre above the top edge", {900, -41, 100, 40}, Side::top},
        {"overlapping the top edge, centre below it", {-100, -19, 60, 40}, Side::left},
        {"centre exactly on the top edge", {2000, -20, 100, 40}, Side::right},
    };
    for (const auto& c : cases) EXPECT_EQ(dropSide(c.dropped, kMac), c.want) << c.what;
}

}  // namespace
}  // namespace kd
