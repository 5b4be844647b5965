// The self-test's screen-map group checks the standard map; these pin the
// arithmetic down.

#include "display/layout.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

ScreenTile tile(DisplayID id, Rect bounds) {
    return ScreenTile{id, {}, "", bounds, false, {}};
}

void expectNear(const Rect& got, const Rect& want) {
    EXPECT_NEAR(got.x, want.x, 1e-9);
    EXPECT_NEAR(got.y, want.y, 1e-9);
    EXPECT_NEAR(got.width, want.width, 1e-9);
    EXPECT_NEAR(got.height, want.height, 1e-9);
}

TEST(LayoutTilesTest, NoRoomOrNoAreaDrawsNothing) {
    EXPECT_TRUE(layoutTiles({tile(1, {0, 0, 100, 100})}, {20, 300}).empty());
    EXPECT_TRUE(layoutTiles({tile(1, {0, 0, 100, 0})}, {420, 220}).empty());
    EXPECT_TRUE(layoutTiles({tile(1, {5, 5, 0, 0}), tile(2, {5, 5, 0, 0})}, {420, 220}).empty());
}

TEST(LayoutTilesTest, TheTighterAxisSetsTheScaleAndTheOtherIsCentred) {
    expectNear(layoutTiles({tile(1, {300, -50, 1600, 1000})}, {420, 220}).at(1),
               {50, 10, 320, 200});
    expectNear(layoutTiles({tile(1, {0, 0, 1000, 1600})}, {220, 420}, 0).at(1), {0, 34, 220, 352});

    // The Mac, an iPad on its left and a television on top: 3656 × 2451 points.
    const auto placed =
        layoutTiles({tile(1, {0, 0, 2056, 1329}), tile(23, {-1600, 207, 1600, 1122}),
                     tile(7, {228, -1122, 1600, 1122})},
                    {420, 220});
    const double scale = 200.0 / 2451;
    const double left = 10 + (400 - 3656 * scale) / 2;
    expectNear(placed.at(23), {left, 10 + 1329 * scale, 1600 * scale, 1122 * scale});
    expectNear(placed.at(7), {left + 1828 * scale, 10, 1600 * scale, 1122 * scale});
    expectNear(placed.at(1),
               {left + 1600 * scale, 10 + 1122 * scale, 2056 * scale, 200 - 1122 * scale});
}

TEST(LayoutTilesTest, ALaterTileWithTheSameIdWins) {
    const auto placed =
        layoutTiles({tile(1, {0, 0, 100, 100}), tile(1, {100, 0, 100, 100})}, {220, 120});
    ASSERT_EQ(placed.size(), 1u);
    expectNear(placed.at(1), {110, 10, 100, 100});
}

}  // namespace
}  // namespace kd
