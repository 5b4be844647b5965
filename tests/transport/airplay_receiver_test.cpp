#include "transport/airplay_receiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/txt_wire.h"

namespace kd {
namespace {

using testing::txtWire;

ResolvedService resolved(const std::vector<std::string>& txt, int port = 7000) {
    return ResolvedService{"Living-Room.local", port, txtWire(txt)};
}

TEST(AirPlayReceiverTest, ReadsTheAnnouncementIntoADevice) {
    const auto device = receiverDevice(
        "Living Room",
        resolved({"deviceid=aa:bb:cc:dd:ee:ff", "model=AppleTV14,1", "features=0x5A7FFFF7,0x1E",
                  "pi=2e388006-13ba-4041", "psi=00000000-0000-0000"},
                 7100));
    ASSERT_TRUE(device);
    EXPECT_EQ(*device, Device("Living Room", "Living Room", DeviceKind::appletv,
                              {"AA:BB:CC:DD:EE:FF", "00000000-0000-0000", "2E388006-13BA-4041"},
                              "AppleTV14,1", 0x5A7FFFF7, "Living-Room.local", 7100));
}

TEST(AirPlayReceiverTest, KindComesFromTheModelAndMacsAreLeftOut) {
    struct Case {
        std::vector<std::string> txt;
        std::optional<DeviceKind> kind;  // nothing: the receiver is ignored
    };
    const Case cases[] = {
        {{"model=AppleTV11,1"}, DeviceKind::appletv},
        {{"model=iPad13,4"}, DeviceKind::ipad},
        {{"model=LG-OLED55"}, DeviceKind::tv},
        {{"deviceid=11:22"}, DeviceKind::tv},
        {{"model=appletv5,3"}, DeviceKind::tv},  // the prefix is case-sensitive
        {{"model=MacBookPro18,3"}, std::nullopt},
        {{"model=macmini"}, DeviceKind::tv},
        {{"model=Mac\xff"}, DeviceKind::tv},  // not UTF-8, so read as empty
        {{"MODEL=Mac14,2"}, std::nullopt},    // keys ignore case
    };
    for (const auto& c : cases) {
        const auto device = receiverDevice("R", resolved(c.txt));
        ASSERT_EQ(device.has_value(), c.kind.has_value()) << c.txt.front();
        if (device) {
            EXPECT_EQ(device->kind, *c.kind) << c.txt.front();
        }
    }
}

TEST(AirPlayReceiverTest, MatchKeysAreUpperCasedInOrderAndOnlyWhenPresent) {
    struct Case {
        std::vector<std::string> txt;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {{"pi=p", "psi=s", "deviceid=d"}, {"D", "S", "P"}},
        {{"pi=p", "deviceid="}, {"P"}},
        {{"psi", "pi=\xc3\x28"}, {}},  // no value; not UTF-8
        {{"deviceid=ä-straße"}, {"Ä-STRASSE"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        const auto device = receiverDevice("R", resolved(c.txt));
        ASSERT_TRUE(device);
        EXPECT_EQ(device->matchKeys, c.keys);
    }
}

TEST(AirPlayReceiverTest, FeaturesAreTheFirstHexadecimalPieceOrZero) {
    struct Case {
        const char* features;
        std::uint64_t value;
    };
    const Case cases[] = {
        {"0x5A7FFFF7,0x1E", 0x5A7FFFF7},
        {",,0x1E,0x5", 0x1E},  // empty pieces are dropped
        {"0x0x1F", 0x1F},      // every "0x" goes
        {"1f", 0x1F},
        {"FFFFFFFFFFFFFFFF", UINT64_MAX},
        {"0000000000000000000000001", 1},                 // leading zeros fit
        {"10000000000000000", 0},                         // 17 digits overflow
        {"0123456789ABCDEF0123456789ABCDEF01234567", 0},  // 40 digits
        {"0X1F", 0},                                      // only "0x" is removed
        {"0x", 0},
        {" 1F", 0},
        {"", 0},
        {",", 0},
        {"\xff\xfe", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(receiverFeatures(c.features), c.value) << '"' << c.features << '"';
        const auto device = receiverDevice("R", resolved({std::string("features=") + c.features}));
        ASSERT_TRUE(device);
        EXPECT_EQ(device->features, c.value) << '"' << c.features << '"';
    }
}

TEST(AirPlayReceiverTest, AMissingPortMeansTheAirPlayPortAndNoTxtMeansNoDevice) {
    EXPECT_EQ(receiverDevice("R", resolved({}, 0))->port, 7000);
    EXPECT_EQ(receiverDevice("R", resolved({}, -5))->port, 7000);
    EXPECT_EQ(receiverDevice("R", resolved({}, 1))->port, 1);
    EXPECT_EQ(receiverDevice("R", ResolvedService{"", 7000, std::string(1, '\0')})->host, "");
    EXPECT_FALSE(receiverDevice("R", ResolvedService{"host.local", 7000, std::nullopt}));
}

}  // namespace
}  // namespace kd
