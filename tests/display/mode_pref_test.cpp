#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "display/mode_pref.h"

namespace kd {
namespace {

TEST(ModePrefTest, StoredFormIsACompactObjectOfTheFourKeys) {
    const ModePref pref{3200, 2244, true, 60};
    const auto text = encodeModePref(pref);
    EXPECT_EQ(text.find(' '), std::string::npos) << text;
    EXPECT_EQ(
        nlohmann::json::parse(text),
        (nlohmann::json{{"width", 3200}, {"height", 2244}, {"hidpi", true}, {"refresh", 60}}));
    EXPECT_EQ(decodeModePref(text), pref);
}

TEST(ModePrefTest, AnythingButFourWellTypedKeysIsUnreadable) {
    const char* const unreadable[] = {
        "",
        "not json",
        "[]",
        R"({"width":1920,"height":1080,"hidpi":true})",
        R"({"width":1920,"height":1080,"refresh":60})",
        R"({"width":1920,"hidpi":false,"height":1080,"refresh":null})",
        R"({"width":1920,"height":1080,"hidpi":1,"refresh":60})",
        R"({"width":1920.0,"height":1080,"hidpi":true,"refresh":60})",
        R"({"width":"1920","height":1080,"hidpi":true,"refresh":60})",
        R"({"width":1099511627776,"height":1080,"hidpi":true,"refresh":60})",
        R"({"width":18446744073709551615,"height":1080,"hidpi":true,"refresh":60})",
        R"({"width":1920,"height":1080,"hidpi":true,"refresh":60} trailing)",
    };
    for (const auto* text : unreadable) {
        EXPECT_FALSE(decodeModePref(text)) << text;
    }
}

TEST(ModePrefTest, KeyOrderAndExtraKeysDoNotMatter) {
    EXPECT_EQ(decodeModePref(R"({"refresh":0,"hidpi":false,"height":-5,"width":7,"note":"x"})"),
              (ModePref{7, -5, false, 0}));
}

TEST(ModePrefTest, AListDecodesWholeOrNotAtAll) {
    const std::vector<ModePref> prefs = {{1920, 1080, true, 120}, {2388, 1668, false, 60}};
    EXPECT_EQ(decodeModePrefs(encodeModePrefs(prefs)), prefs);
    EXPECT_EQ(decodeModePrefs(encodeModePrefs({})), std::vector<ModePref>{});
    EXPECT_FALSE(decodeModePrefs(
        R"([{"width":1,"height":1,"hidpi":true,"refresh":60},{"width":1,"height":1}])"));
    EXPECT_FALSE(decodeModePrefs(encodeModePref(prefs.front()))) << "one object is not a list";
}

}  // namespace
}  // namespace kd
