#include "transport/airplay_mode_script.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/golden.h"

namespace kd {
namespace {

// The panel script as it must reach System Events is a golden file, written
// out rather than taken from the generator, with placeholders for the pieces
// that vary.
std::string expectedScript(const std::string& count, const std::string& name,
                           const std::string& comparison) {
    return testing::filled(testing::golden("transport/golden/airplay_mode_panel.applescript"),
                           {{"@TICKS@", count}, {"@NAME@", name}, {"@COMPARISON@", comparison}});
}

TEST(AirPlayModeScriptTest, EachModeIsTheKnownTextAroundItsComparison) {
    EXPECT_EQ(airPlayModeScript(AirPlayMode::extend, "Living Room", 60),
              expectedScript("60", "Living Room", "x > bestX"));
    EXPECT_EQ(airPlayModeScript(AirPlayMode::duplicate, "Living Room", 60),
              expectedScript("60", "Living Room", "x < bestX"));
}

TEST(AirPlayModeScriptTest, TheWatchIsCountedAndNeverBelowOnce) {
    const std::pair<int, const char*> table[] = {
        {60, "60"}, {5, "5"}, {1, "1"}, {0, "1"}, {-4, "1"}};
    for (const auto& [ticks, count] : table) {
        EXPECT_EQ(airPlayModeScript(AirPlayMode::extend, "TV", ticks),
                  expectedScript(count, "TV", "x > bestX"))
            << ticks;
    }
}

TEST(AirPlayModeScriptTest, TheNameStaysInsideItsLiterals) {
    const std::pair<const char*, const char*> table[] = {
        {"85\" Crystal UHD", R"(85\" Crystal UHD)"},
        {R"(Den \ Office)", R"(Den \\ Office)"},
        {R"(a\"b)", R"(a\\\"b)"},
        {R"(" & (do shell script "id") & ")", R"(\" & (do shell script \"id\") & \")"},
        {"Гостиная", "Гостиная"},
        {"", ""},
    };
    for (const auto& [name, escaped] : table) {
        EXPECT_EQ(airPlayModeScript(AirPlayMode::duplicate, name, 60),
                  expectedScript("60", escaped, "x < bestX"))
            << name;
    }
}

TEST(AirPlayModeScriptTest, ChoosingSendsTheFullWatchAndTrimsTheAnswer) {
    struct Case {
        ScriptResult answer;
        std::string want;
    };
    const std::vector<Case> cases = {
        {{true, "chose\n"}, "chose"},
        {{true, " \t other:Living Room \r\n"}, "other:Living Room"},
        {{false, "Screen Mirroring didn't answer in time"},
         "Screen Mirroring didn't answer in time"},
        {{true, "\n"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> sent;
        const auto answer =
            chooseAirPlayMode(AirPlayMode::extend, "Living Room", [&](const std::string& script) {
                sent.push_back(script);
                return c.answer;
            });
        EXPECT_EQ(answer, c.want);
        EXPECT_EQ(sent, std::vector<std::string>{expectedScript("60", "Living Room", "x > bestX")});
    }
}

}  // namespace
}  // namespace kd
