#include "update/version_order.h"

#include <gtest/gtest.h>

#include <string>

namespace kd {
namespace {

struct Ordered {
    std::string older;
    std::string newer;
};

TEST(VersionOrder, OrdersDottedNumbersAsNumbers) {
    const Ordered cases[] = {
        {"1.9", "1.10"},
        {"0.1.0", "1.4"},
        {"1.4", "1.4.1"},
        {"1.4b2", "1.4"},  // a pre-release comes before its release
        {"1.4-rc1", "1.4"},
        {"1.4b2", "1.4b10"},  // pre-releases by their text
        {"2", "10"},
        {"1.99999999999999999999", "1.100000000000000000000"},  // beyond 64 bits
    };
    for (const auto& [older, newer] : cases) {
        EXPECT_LT(compareVersions(older, newer), 0) << older << " < " << newer;
        EXPECT_GT(compareVersions(newer, older), 0) << newer << " > " << older;
    }
}

TEST(VersionOrder, TreatsSpellingsOfOneVersionAsEqual) {
    EXPECT_EQ(compareVersions("1.4", "1.4.0"), 0);
    EXPECT_EQ(compareVersions("1.04", "1.4"), 0);
    EXPECT_EQ(compareVersions(" 1.4\n", "1.4"), 0);
    EXPECT_EQ(compareVersions("1.4.", "1.4"), 0);
}

TEST(VersionOrder, SurvivesJunk) {
    EXPECT_EQ(compareVersions("", ""), 0);
    EXPECT_LT(compareVersions("1..2", "1.1"), 0);  // the empty part counts as 0
    EXPECT_LT(compareVersions("x", "0.1"), 0);
    EXPECT_FALSE(isVersion(""));
    EXPECT_FALSE(isVersion("  "));
    EXPECT_FALSE(isVersion("v1.4"));
    EXPECT_TRUE(isVersion(" 1.4"));
}

}  // namespace
}  // namespace kd
