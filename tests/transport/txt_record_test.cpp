#include "transport/txt_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/txt_wire.h"

namespace kd {
namespace {

using testing::txtWire;

TEST(TxtRecordTest, ReadsEntriesAsDnsSdDoes) {
    struct Case {
        const char* what;
        std::string wire;
        TxtRecord expected;
    };
    const Case cases[] = {
        {"plain entries",
         txtWire({"model=AppleTV14,1", "deviceid=AA:BB"}),
         {{"model", "AppleTV14,1"}, {"deviceid", "AA:BB"}}},
        {"a value holding '='", txtWire({"k=a=b"}), {{"k", "a=b"}}},
        {"a key without '=' has no value",
         txtWire({"flag", "e="}),
         {{"flag", std::nullopt}, {"e", ""}}},
        {"the first of two keys differing in case wins",
         txtWire({"Model=first", "MODEL=second"}),
         {{"Model", "first"}}},
        {"empty strings and strings without a key are skipped",
         txtWire({"", "=orphan", "a=1"}),
         {{"a", "1"}}},
        {"the empty record of a service with nothing to say", std::string(1, '\0'), {}},
        {"no bytes at all", "", {}},
        {"bytes kept as they are",
         txtWire({std::string("b=\0\xff", 4)}),
         {{"b", std::string("\0\xff", 2)}}},
        {"a length past the end ends the record", txtWire({"a=1"}) + "\x09" + "b=2", {{"a", "1"}}},
    };
    for (const auto& c : cases) {
        const TxtRecord record = decodeTxtRecord(c.wire);
        EXPECT_EQ(record, c.expected) << c.what;
    }
}

TEST(TxtRecordTest, LooksKeysUpWithoutRegardToCase) {
    const TxtRecord record = decodeTxtRecord(txtWire({"DeviceID=aa:bb", "flag"}));
    EXPECT_EQ(txtValue(record, "deviceid"), "aa:bb");
    EXPECT_EQ(txtValue(record, "flag"), "");
    EXPECT_EQ(txtValue(record, "missing"), "");
}

TEST(TxtRecordTest, LargeRecordsOfRepeatedAndLongEntriesStayBounded) {
    // 10 KB: forty-five strings of nearly the longest length a TXT string can have.
    std::vector<std::string> strings;
    for (int i = 0; i < 45; ++i) {
        strings.push_back((i % 2 ? "k" + std::to_string(i) : std::string("features")) + "=" +
                          std::string(240, static_cast<char>('0' + i % 10)));
    }
    const std::string record = txtWire(strings);
    ASSERT_GT(record.size(), 10'000u);

    const TxtRecord decoded = decodeTxtRecord(record);
    EXPECT_EQ(decoded.size(), 23u);
    EXPECT_EQ(txtValue(decoded, "features"), std::string(240, '0'));
}

}  // namespace
}  // namespace kd
