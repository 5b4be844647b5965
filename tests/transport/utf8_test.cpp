#include "transport/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace kd {
namespace {

TEST(Utf8Test, AcceptsWellFormedTextOnly) {
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"empty", "", true},
        {"ASCII", "Connected\n", true},
        {"Cyrillic", "Гостиная", true},
        {"four-byte", "\xF0\x9F\x93\xBA", true},
        {"embedded NUL", std::string("a\0b", 3), true},
        {"highest code point", "\xF4\x8F\xBF\xBF", true},
        {"Latin-1 byte", "caf\xE9", false},
        {"stray continuation", "\x80", false},
        {"truncated at the end", "ok\xE2\x82", false},
        {"overlong slash", "\xC0\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"0xFF", "\xFF", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.what;
    }
}

}  // namespace
}  // namespace kd
