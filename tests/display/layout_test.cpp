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

bool inside(const Rect& r, CanvasSize canvas) {
    return r.minX() >= 0 && r.minY() >= 0 && r.maxX() <= canvas.width && r.maxY() <= canvas.height;
}

TEST(LayoutTilesTest, NothingToDrawGivesNothing) {
    EXPECT_TRUE(layoutTiles({}, {420, 220}).empty());
    EXPECT_TRUE(layoutTiles({tile(1, {0, 0, 100, 100})}, {15, 15}).empty());
    EXPECT_TRUE(layoutTiles({tile(1, {0, 0, 100, 100})}, {20, 300}).empty())
        << "padding that eats the whole width";
    EXPECT_TRUE(layoutTiles({tile(1, {0, 0, 100, 0})}, {420, 220}).empty()) << "no height";
    EXPECT_TRUE(layoutTiles({tile(1, {5, 5, 0, 0}), tile(2, {5, 5, 0, 0})}, {420, 220}).empty());
}

TEST(LayoutTilesTest, ALoneScreenKeepsItsAspectAndIsCentred) {
    const auto placed = layoutTiles({tile(1, {300, -50, 1600, 1000})}, {420, 220});
    ASSERT_EQ(placed.size(), 1u);
    expectNear(placed.at(1), {50, 10, 320, 200});

    const auto tall = layoutTiles({tile(1, {0, 0, 1000, 1600})}, {220, 420}, 0);
    expectNear(tall.at(1), {0, 34, 220, 352});
}

TEST(LayoutTilesTest, TheMapKeepsPlacesAndProportions) {
    const std::vector<ScreenTile> tiles = {tile(1, {0, 0, 2056, 1329}),
                                           tile(23, {-1600, 207, 1600, 1122}),
                                           tile(7, {228, -1122, 1600, 1122})};
    const CanvasSize canvas{420, 220};
    const auto placed = layoutTiles(tiles, canvas);
    ASSERT_EQ(placed.size(), 3u);
    const auto& mac = placed.at(1);
    const auto& ipad = placed.at(23);
    const auto& tv = placed.at(7);
    EXPECT_LE(ipad.maxX(), mac.minX() + 1e-9);
    EXPECT_LE(tv.maxY(), mac.minY() + 1e-9);
    EXPECT_GT(mac.width, ipad.width);
    EXPECT_NEAR(mac.width / mac.height, 2056.0 / 1329.0, 1e-9);
    for (const auto& [id, rect] : placed) EXPECT_TRUE(inside(rect, canvas)) << id;
    // The union of all screens touches the padding on its constraining axis.
    EXPECT_NEAR(std::min(ipad.minX(), mac.minX()), 10 + (400 - (3656.0 * 200 / 2451)) / 2, 1e-9);
    EXPECT_NEAR(tv.minY(), 10, 1e-9);
    EXPECT_NEAR(mac.maxY(), 210, 1e-9);
}

TEST(LayoutTilesTest, ALaterTileWithTheSameIdWins) {
    const auto placed =
        layoutTiles({tile(1, {0, 0, 100, 100}), tile(1, {100, 0, 100, 100})}, {220, 120});
    ASSERT_EQ(placed.size(), 1u);
    expectNear(placed.at(1), {110, 10, 100, 100});
}

}  // namespace
}  // namespace kd
