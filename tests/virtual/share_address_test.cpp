// The pieces of the browser share's address: the token, the listed
// addresses and the stored choices that shape the stream.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "display/sim_preferences.h"
#include "platform/linux/getrandom_source.h"
#include "platform/linux/ifaddrs_interfaces.h"
#include "virtual/share_settings.h"
#include "virtual/share_token.h"
#include "virtual/share_urls.h"

namespace kd {
namespace {

class ScriptedRandom : public SecureRandom {
  public:
    explicit ScriptedRandom(std::deque<unsigned> bytes) : bytes_(std::move(bytes)) {}
    void fill(std::span<std::byte> out) override {
        for (auto& b : out) {
            const unsigned next = bytes_.empty() ? 0 : bytes_.front();
            if (!bytes_.empty()) bytes_.pop_front();
            b = std::byte(next);
        }
    }

  private:
    std::deque<unsigned> bytes_;
};

TEST(ShareToken, RejectsTheBytesThatWouldFavourTheAlphabetsStart) {
    // 248 is the first byte past the last whole run of 31: taking it modulo
    // 31 would make "a" to "h" likelier than the rest.
    ScriptedRandom random(
        {248, 249, 250, 251, 252, 253, 254, 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 30, 247});
    EXPECT_EQ(makeShareToken(random), "abcdefghj9");
}

TEST(ShareToken, TakesTenCharactersFromTheAlphabetAndDiffersEachTime) {
    GetrandomSource random;
    const auto first = makeShareToken(random);
    const auto second = makeShareToken(random);
    EXPECT_EQ(first.size(), 10u);
    EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](char c) {
        return kShareTokenAlphabet.find(c) != std::string_view::npos;
    }));
    EXPECT_NE(first, second);
}

TEST(ShareUrls, ListsReachableIpv4AddressesInInterfaceOrder) {
    const std::vector<InterfaceAddress> interfaces = {
        {"lo", true, true, "127.0.0.1"},      {"eth0", true, false, "192.168.1.2"},
        {"wlan0", false, false, "10.0.0.5"},  {"eth1", true, false, "169.254.10.20"},
        {"eth2", true, false, "10.20.30.40"},
    };
    EXPECT_EQ(shareUrls(interfaces, 8765, "abcdefghjk"),
              (std::vector<std::string>{"http://192.168.1.2:8765/abcdefghjk",
                                        "http://10.20.30.40:8765/abcdefghjk"}));
    EXPECT_TRUE(shareUrls({}, 8765, "abcdefghjk").empty());
}

TEST(ShareUrls, TheMachinesOwnLoopbackIsListedButNeverOffered) {
    const auto interfaces = IfaddrsInterfaces().ipv4Interfaces();
    const auto loopback = std::find_if(interfaces.begin(), interfaces.end(),
                                       [](const auto& entry) { return entry.loopback; });
    ASSERT_NE(loopback, interfaces.end());
    EXPECT_EQ(loopback->address, "127.0.0.1");
    for (const auto& url : shareUrls(interfaces, 8765, "abcdefghjk"))
        EXPECT_EQ(url.find("127.0.0.1"), std::string::npos) << url;
}

TEST(ShareSettings, StoredValuesAlwaysGiveAUsableStream) {
    SimPreferences stored;
    EXPECT_EQ(readShareSettings(stored), (ShareSettings{30, 1920, 0.75}));

    struct Case {
        PrefValue fps, width, quality;
        ShareSettings expected;
    };
    const Case cases[] = {
        {15, 0, 0.5, {30, 1920, 0.5}},
        {60, 1280, 1.0, {60, 1280, 1.0}},
        {100000, 100, 7.5, {120, 640, 1.0}},
        {-5, -1, -0.2, {30, 640, 0.75}},
        {"fast", "wide", "good", {30, 1920, 0.75}},
        {30, 3840, 0, {30, 3840, 0.75}},
        {30, std::int64_t{1} << 40, 1, {30, 16384, 1.0}},
    };
    for (const auto& c : cases) {
        stored.set(kShareFpsKey, c.fps);
        stored.set(kShareWidthKey, c.width);
        stored.set(kShareQualityKey, c.quality);
        EXPECT_EQ(readShareSettings(stored), c.expected);
    }
}

}  // namespace
}  // namespace kd
