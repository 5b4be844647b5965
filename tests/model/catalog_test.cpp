#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "model/device.h"
#include "model/device_profile.h"
#include "model/host_info.h"
#include "model/marketing_name.h"
#include "platform/sim/sim_type_database.h"

namespace kd {
namespace {

class CatalogTest : public ::testing::Test {
  protected:
    const std::vector<DeviceProfile> catalog = buildDeviceProfiles();
};

TEST_F(CatalogTest, HoldsEveryRowOnceInItsOrder) {
    ASSERT_EQ(catalog.size(), 36u);
    EXPECT_EQ(catalog.front().model, "AppleTV5,3");
    EXPECT_EQ(catalog.back().model, "iPad14,2");
    std::set<std::string> models;
    for (const auto& row : catalog) EXPECT_TRUE(models.insert(row.model).second) << row.model;
    for (const auto& row : catalog) {
        EXPECT_TRUE(std::is_sorted(row.refreshRates.rbegin(), row.refreshRates.rend()))
            << row.model << " lists its refresh rates highest first";
    }
}

TEST_F(CatalogTest, LooksUpModelsExactlyAndNothingElse) {
    EXPECT_FALSE(profile(catalog, ""));
    EXPECT_FALSE(profile(catalog, "iPad99,1"));
    EXPECT_FALSE(profile(catalog, "ipad13,1")) << "no case folding";
    EXPECT_FALSE(profile(catalog, "iPad13")) << "no prefix matching";

    const auto air = profile(catalog, "iPad13,1");
    ASSERT_TRUE(air);
    EXPECT_EQ(air->marketing, "iPad Air (4th gen)") << "never the iPad13,10 or iPad13,11 row";
    EXPECT_EQ(profile(catalog, "iPad13,10")->marketing, "iPad Pro 12.9\u2033 (M1)");
}

TEST_F(CatalogTest, PointSizesAreIntegerHalves) {
    const auto& row7 = catalog[6];
    EXPECT_EQ(row7.pointWidth(), 1366);
    EXPECT_EQ(row7.pointHeight(), 1024);
    const auto& row21 = catalog[20];
    EXPECT_EQ(row21.pointWidth(), 1210);
    EXPECT_EQ(row21.pointHeight(), 834);
    const auto& row35 = catalog[34];
    EXPECT_EQ(row35.pointWidth(), 1133);
    EXPECT_EQ(row35.pointHeight(), 744);
}

TEST_F(CatalogTest, MarketingNamesUseDoublePrimeNotQuotes) {
    for (const auto& row : catalog) {
        EXPECT_EQ(row.marketing.find('"'), std::string::npos) << row.model;
    }
    EXPECT_EQ(profile(catalog, "iPad16,5")->marketing, "iPad Pro 13\u2033 (M4)");
}

TEST(DeviceTest, EqualityTakesEveryFieldIntoAccount) {
    const Device base("Гостиная", "Гостиная", DeviceKind::appletv, {"A", "B"}, "AppleTV14,1", 5,
                      "tv.local", 7000);
    EXPECT_EQ(base, base);

    auto otherPort = base;
    otherPort.port = 7001;
    EXPECT_NE(base, otherPort);

    auto renamed = base;
    renamed.name = "Living Room";
    EXPECT_NE(base, renamed) << "same id, different name";

    auto reordered = base;
    reordered.matchKeys = {"B", "A"};
    EXPECT_NE(base, reordered) << "match keys compare in order";

    auto upper = base;
    upper.id = "ГОСТИНАЯ";
    EXPECT_NE(base, upper) << "text compares case-sensitively";
}

TEST(DeviceTest, OptionalFieldsTakeTheirDefaults) {
    const Device device("sidecar", "iPad", DeviceKind::ipad, {"Sidecar:"}, "");
    EXPECT_EQ(device.features, 0u);
    EXPECT_EQ(device.host, "");
    EXPECT_EQ(device.port, 7000);
}

TEST(HostInfoTest, ShortLabelIsTheFirstPart) {
    HostInfo host{MacKind::laptop, "MacBook Pro", "MacBook Pro \u00B7 M3 Pro \u00B7 14-inch"};
    EXPECT_EQ(host.shortLabel(), "MacBook Pro");
    host.label = "Mac mini";
    EXPECT_EQ(host.shortLabel(), "Mac mini");
    host.label = "a\u00B7b";
    EXPECT_EQ(host.shortLabel(), "a\u00B7b") << "a middle dot without spaces is no separator";
}

TEST(MarketingNameTest, ComesFromTheSystemNotTheCatalog) {
    const SimTypeDatabase types;
    EXPECT_EQ(marketingName(types, "AppleTV14,1"), "Apple TV 4K (3rd generation)");
    EXPECT_EQ(marketingName(types, "UN85TU8000"), std::nullopt);
    EXPECT_EQ(marketingName(types, ""), std::nullopt);
}

TEST(MarketingNameTest, ArtworkOnlyForAppleDevicesWithEmptyModelsStandingForTheNewest) {
    const SimTypeDatabase types;
    EXPECT_TRUE(systemArtwork(types, DeviceKind::appletv, "AppleTV14,1"));
    EXPECT_TRUE(systemArtwork(types, DeviceKind::appletv, ""));
    EXPECT_TRUE(systemArtwork(types, DeviceKind::ipad, ""));
    EXPECT_FALSE(systemArtwork(types, DeviceKind::ipad, "iPad99,9"));
    EXPECT_FALSE(systemArtwork(types, DeviceKind::tv, "AppleTV14,1"))
        << "a television is always drawn by us";
    const auto art = systemArtwork(types, DeviceKind::ipad, "iPad16,6");
    ASSERT_TRUE(art);
    EXPECT_EQ(art->rgba.size(), static_cast<std::size_t>(art->width * art->height * 4));
}

}  // namespace
}  // namespace kd
