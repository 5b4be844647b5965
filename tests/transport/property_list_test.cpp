#include "transport/property_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "transport/binary_plist.h"

namespace kd {
namespace {

using test::BinaryPlist;

// `levels` arrays, each holding the next.
std::string nestedBinary(std::size_t levels) {
    BinaryPlist list;
    for (std::size_t i = 0; i + 1 < levels; ++i) {
        list.add(BinaryPlist::array({static_cast<std::uint32_t>(i + 1)}));
    }
    list.add(BinaryPlist::array({}));
    return list.build(0);
}

std::string nestedXml(std::size_t levels) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
    for (std::size_t i = 0; i < levels; ++i) out += "<array>";
    for (std::size_t i = 0; i < levels; ++i) out += "</array>";
    return out + "</plist>";
}

// libplist gives up at the end and frees what it built, recursively.
std::string unclosedXml(std::size_t levels) {
    std::string out = "<plist>";
    for (std::size_t i = 0; i < levels; ++i) out += "<array>";
    return out;
}

std::string xmlDict(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" + body +
           "</dict></plist>";
}

TEST(PropertyListTest, NestingUpToTheLimitIsReadDeeperIsRefused) {
    struct Case {
        const char* what;
        std::string bytes;
        bool read;
    };
    const Case cases[] = {
        {"binary at the limit", nestedBinary(kMaxPropertyListDepth), true},
        {"binary one deeper", nestedBinary(kMaxPropertyListDepth + 1), false},
        {"XML at the limit", nestedXml(kMaxPropertyListDepth), true},
        {"XML one deeper", nestedXml(kMaxPropertyListDepth + 1), false},
        // Deep enough to overflow the stack in libplist's recursive reading
        // and freeing, and to keep its binary cycle check busy for minutes.
        {"binary 100 000 deep", nestedBinary(100'000), false},
        {"XML 60 000 deep", nestedXml(60'000), false},
        {"XML 140 000 deep and never closed", unclosedXml(140'000), false},
    };
    for (const auto& c : cases) {
        ASSERT_LE(c.bytes.size(), kMaxPropertyListBytes) << c.what;
        EXPECT_EQ(parsePropertyList(c.bytes) != nullptr, c.read) << c.what;
    }
}

TEST(PropertyListTest, XmlListsMayHoldSoManyContainers) {
    auto flat = [](std::size_t containers, const std::string& empties) {
        std::string body;
        for (std::size_t i = 1; i < containers; ++i) body += "<dict></dict>";
        return "<plist><array>" + body + empties + "</array></plist>";
    };
    const PlistPtr atLimit = parsePropertyList(flat(kMaxXmlPropertyListContainers, ""));
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(plist_array_get_size(atLimit.get()), kMaxXmlPropertyListContainers - 1);
    EXPECT_FALSE(parsePropertyList(flat(kMaxXmlPropertyListContainers + 1, "")));
    // Empty forms nest nothing and are not counted.
    std::string empties;
    for (int i = 0; i < 20'000; ++i) empties += i % 2 ? "<array/>" : "<dict/>";
    EXPECT_TRUE(parsePropertyList(flat(1, empties)));
}

TEST(PropertyListTest, SharedObjectsCountOnceForEveryUse) {
    // Forty arrays, each holding the next one twice: 2^40 nodes once copied.
    BinaryPlist doubling;
    for (std::uint32_t i = 0; i < 40; ++i) doubling.add(BinaryPlist::array({i + 1, i + 1}));
    doubling.add(BinaryPlist::integer(1));
    EXPECT_FALSE(parsePropertyList(doubling.build(0)));

    // One text shared by the keys of many dictionaries, as Apple's writer
    // shares equal values: modest, and read.
    BinaryPlist shared;
    const auto key = shared.add(BinaryPlist::ascii("model"));
    const auto value = shared.add(BinaryPlist::ascii("AppleTV14,1"));
    const auto inner = shared.add(BinaryPlist::dict({key}, {value}));
    const auto root = shared.add(BinaryPlist::array(std::vector<std::uint32_t>(500, inner)));
    const PlistPtr list = parsePropertyList(shared.build(root));
    ASSERT_TRUE(list);
    EXPECT_EQ(plist_array_get_size(list.get()), 500u);

    // A small text used so often that copies would take gigabytes.
    BinaryPlist heavy;
    const auto text = heavy.add(BinaryPlist::ascii(std::string(60'000, 'x')));
    heavy.add(BinaryPlist::array(std::vector<std::uint32_t>(60'000, text)));
    EXPECT_FALSE(parsePropertyList(heavy.build(1)));
}

TEST(PropertyListTest, CyclesAndBadTrailersAreRefused) {
    BinaryPlist self;
    self.add(BinaryPlist::array({0}));
    BinaryPlist loop;
    loop.add(BinaryPlist::array({1}));
    loop.add(BinaryPlist::array({2}));
    loop.add(BinaryPlist::array({0}));
    EXPECT_FALSE(parsePropertyList(self.build(0)));
    EXPECT_FALSE(parsePropertyList(loop.build(0)));

    BinaryPlist one;
    one.add(BinaryPlist::integer(7));
    const std::string good = one.build(0);
    ASSERT_TRUE(parsePropertyList(good));
    const std::size_t trailer = good.size() - 32;
    struct Case {
        const char* what;
        std::size_t at;
        std::string bytes;
    };
    const Case cases[] = {
        {"offsets 0 wide", trailer + 6, std::string(1, '\0')},
        {"references 9 wide", trailer + 7, "\x09"},
        {"no objects", trailer + 8, BinaryPlist::bigEndian(0, 8)},
        {"more objects than the table holds", trailer + 8, BinaryPlist::bigEndian(1u << 30, 8)},
        {"root past the objects", trailer + 16, BinaryPlist::bigEndian(1, 8)},
        {"table past the end", trailer + 24, BinaryPlist::bigEndian(UINT64_MAX - 4, 8)},
        {"table inside the header", trailer + 24, BinaryPlist::bigEndian(2, 8)},
        {"object offset past the table", good.size() - 32 - 4, BinaryPlist::bigEndian(9999, 4)},
    };
    for (const auto& c : cases) {
        std::string bad = good;
        bad.replace(c.at, c.bytes.size(), c.bytes);
        EXPECT_FALSE(parsePropertyList(bad)) << c.what;
    }
}

TEST(PropertyListTest, TruncatedOrDamagedListsNeverCrash) {
    BinaryPlist list;
    const auto k1 = list.add(BinaryPlist::ascii("model"));
    const auto v1 = list.add(BinaryPlist::ascii("AppleTV14,1"));
    const auto k2 = list.add(BinaryPlist::ascii("features"));
    const auto v2 = list.add(BinaryPlist::integer(0x1E5A7FFFF7));
    const auto root = list.add(BinaryPlist::dict({k1, k2}, {v1, v2}));
    const std::string binary = list.build(root);
    const std::string xml =
        xmlDict("<key>model</key><string>AppleTV14,1</string><key>n</key><integer>7</integer>");
    ASSERT_TRUE(parsePropertyList(binary));
    ASSERT_TRUE(parsePropertyList(xml));

    for (const std::string* whole : {&binary, &xml}) {
        for (std::size_t length = 0; length < whole->size(); ++length) {
            parsePropertyList(whole->substr(0, length));
        }
        for (std::size_t at = 0; at < whole->size(); ++at) {
            for (const char flip : {'\x01', '\x80', '\xff'}) {
                std::string damaged = *whole;
                damaged[at] = static_cast<char>(damaged[at] ^ flip);
                parsePropertyList(damaged);
            }
        }
    }
}

TEST(PropertyListTest, InputAboveOneMegabyteIsNotParsed) {
    const std::string list = xmlDict("<key>a</key><string>b</string>");
    const std::string padding(kMaxPropertyListBytes - list.size(), ' ');
    EXPECT_TRUE(parsePropertyList(list + padding));
    EXPECT_FALSE(parsePropertyList(list + padding + ' '));
}

}  // namespace
}  // namespace kd
