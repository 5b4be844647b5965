#include "platform/sim/sim_read_only_preferences.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace kd {
namespace {

TEST(PrefValueFromPlainJson, KeepsIntegersAndDoublesApart) {
    const auto parsed = nlohmann::json::parse(
        R"({"i": 2, "d": 2.0, "neg": -3, "max": 9223372036854775807, "b": false, "s": "é",
            "recents": [{"name": "iPad", "at": 1.5}, []]})");
    const PrefValue expected = PrefDict{
        {"i", 2},
        {"d", 2.0},
        {"neg", -3},
        {"max", std::numeric_limits<std::int64_t>::max()},
        {"b", false},
        {"s", "é"},
        {"recents", PrefArray{PrefDict{{"name", "iPad"}, {"at", 1.5}}, PrefArray{}}},
    };
    EXPECT_EQ(prefValueFromPlainJson(parsed), expected);
}

TEST(PrefValueFromPlainJson, RejectsWhatNoPreferenceCanHold) {
    for (const char* text : {"null", "9223372036854775808", "[1, null]"}) {
        EXPECT_THROW(prefValueFromPlainJson(nlohmann::json::parse(text)), std::invalid_argument)
            << text;
    }
}

}  // namespace
}  // namespace kd
