#include "dock/screen_map.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

const Rect kMac{0, 0, 1512, 982};

TEST(ScreenMap, TilesInKeyOrderWithoutMirrorsAndTheVirtualDisplayLast) {
    ScreenMapInputs in;
    in.macID = 1;
    in.macBounds = kMac;
    in.macName = "MacBook Pro";
    in.deviceScreens = {
        {"tv", PlacedScreen{5, {-1920, 0, 1920, 1080}, false}},
        {"gone", PlacedScreen{6, {1512, 0, 1366, 1024}, false}},
        {"mirror", PlacedScreen{7, kMac, true}},
    };
    in.mirroring = {"mirror"};
    in.devices = {Device("tv", "Living Room", DeviceKind::appletv, {"AA"}, "AppleTV14,1"),
                  Device("mirror", "Bedroom", DeviceKind::tv, {"BB"}, "")};
    in.virtualScreen = PlacedScreen{9, {0, -800, 1280, 800}, false};

    const auto map = screenMap(in);
    ASSERT_EQ(map.tiles.size(), 4U);
    EXPECT_EQ(map.tiles[0], (ScreenTile{1, std::nullopt, "MacBook Pro", kMac, true, std::nullopt}));
    EXPECT_EQ(map.tiles[1].name, "gone") << "a device no longer listed is named by its key";
    EXPECT_EQ(map.tiles[2].name, "Living Room");
    EXPECT_EQ(map.tiles[2].kind, DeviceKind::appletv);
    EXPECT_EQ(
        map.tiles[3],
        (ScreenTile{9, "virtual", "Virtual Display", {0, -800, 1280, 800}, false, std::nullopt}));
    EXPECT_EQ(map.occupied,
              (std::map<std::string, Side>{
                  {"gone", Side::right}, {"tv", Side::left}, {"virtual", Side::top}}));
}

TEST(ScreenMap, AMirroringVirtualDisplayHasNoTileAndHoldsNoSide) {
    ScreenMapInputs in;
    in.macID = 1;
    in.macBounds = kMac;
    in.virtualScreen = PlacedScreen{9, kMac, true};
    const auto map = screenMap(in);
    EXPECT_EQ(map.tiles.size(), 1U);
    EXPECT_TRUE(map.occupied.empty());
}

}  // namespace
}  // namespace kd
