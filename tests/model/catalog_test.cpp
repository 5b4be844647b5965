#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "model/device.h"
#include "model/device_profile.h"
#include "model/host_info.h"
#include "model/marketing_name.h"
#include "platform/sim/sim_type_database.h"
#include "support/golden.h"

namespace kd {
namespace {

class CatalogTest : public ::testing::Test {
  protected:
    const std::vector<DeviceProfile> catalog = buildDeviceProfiles();
};

// One row as the golden table spells it.
std::string tableRow(const DeviceProfile& row) {
    std::string rates;
    for (const int rate : row.refreshRates) {
        rates += (rates.empty() ? "" : " ") + std::to_string(rate);
    }
    return row.model + "\t" + row.marketing + "\t" + std::to_string(row.pixelWidth) + "\t" +
           std::to_string(row.pixelHeight) + "\t" + std::to_string(row.pointWidth()) + "\t" +
           std::to_string(row.pointHeight()) + "\t" + rates + "\t" + (row.hdr ? "true" : "false");
}

TEST_F(CatalogTest, EveryRowIsTheTablesInItsOrder) {
    std::vector<std::string> want;
    std::istringstream table(testing::golden("model/golden/catalog.tsv"));
    for (std::string line; std::getline(table, line);) {
        if (!line.starts_with('#')) want.push_back(line);
    }
    for (std::size_t i = 0; i < std::min(catalog.size(), want.size()); ++i) {
        EXPECT_EQ(tableRow(catalog[i]), want[i]) << "row " << i + 1;
    }
    EXPECT_EQ(catalog.size(), want.size());
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

TEST(HostInfoTest, ShortLabelIsTheFirstPart) {
    HostInfo host{MacKind::laptop, "MacBook Pro", "MacBook Pro \u00B7 M3 Pro \u00B7 14-inch"};
    EXPECT_EQ(host.shortLabel(), "MacBook Pro");
    host.label = "Mac mini";
    EXPECT_EQ(host.shortLabel(), "Mac mini");
    host.label = "a\u00B7b";
    EXPECT_EQ(host.shortLabel(), "a\u00B7b") << "a middle dot without spaces is no separator";
}

// The self-test checks that names come from the system and which kinds have
// artwork; these are the exact name and the models that stand for the newest.
TEST(MarketingNameTest, TheSystemNamesAndDrawsAppleDevices) {
    const SimTypeDatabase types;
    EXPECT_EQ(marketingName(types, "AppleTV14,1"), "Apple TV 4K (3rd generation)");
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
