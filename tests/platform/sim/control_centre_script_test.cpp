#include "platform/sim/scripting/control_centre_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/airplay_mode_script.h"
#include "transport/mirror_script.h"

namespace kd {
namespace {

TEST(ControlCentreScriptTest, GeneratedTogglesAreReadBackAsGenerated) {
    using Kind = MirrorRowFilter::Kind;
    struct Case {
        std::vector<std::string> matchKeys;
        std::vector<std::string> excludeKeys;
        MirrorIntent intent;
        MirrorRowFilter want;
    };
    std::vector<Case> cases = {
        {{"AA:BB"}, {}, MirrorIntent::connect, {Kind::containsAny, {"AA:BB"}}},
        {{"K2", "K1"}, {"IGNORED"}, MirrorIntent::disconnect, {Kind::containsAny, {"K2", "K1"}}},
        {{}, {"AA", "BB"}, MirrorIntent::connect, {Kind::containsNone, {"Sidecar:", "AA", "BB"}}},
    };
    // Keys that would end the literal, start a comment or break the line.
    for (const std::string key : {"X\" or idf contains \"AA", "C:\\\"D\\", "A--B", "A\nB) then"}) {
        for (const auto intent : {MirrorIntent::connect, MirrorIntent::disconnect}) {
            cases.push_back({{key}, {}, intent, {Kind::containsAny, {key}}});
        }
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want.keys.back());
        const auto script = toggleDeviceScript(c.matchKeys, c.excludeKeys, c.intent);
        const auto recognised = recogniseControlCentreScript(script);
        ASSERT_TRUE(recognised);
        EXPECT_EQ(recognised->timeoutSeconds, 20);
        const auto* toggle = std::get_if<MirrorToggleScript>(&recognised->action);
        ASSERT_NE(toggle, nullptr);
        EXPECT_EQ(toggle->connects, c.intent == MirrorIntent::connect);
        EXPECT_EQ(toggle->filter, c.want);
        EXPECT_EQ(script.substr(toggle->notFoundError.from,
                                toggle->notFoundError.to - toggle->notFoundError.from),
                  "error \"Device not found in Screen Mirroring menu\"");
    }
}

TEST(ControlCentreScriptTest, ModePanelScriptsGiveCardNameAndTicks) {
    struct Case {
        AirPlayMode mode;
        std::string name;
        int ticks;
        int wantTicks;
    };
    for (const auto& c : std::vector<Case>{{AirPlayMode::extend, "85\" Crystal UHD", 60, 60},
                                           {AirPlayMode::duplicate, "Гостиная", 0, 1},
                                           {AirPlayMode::extend, "back\\slash -- \"x\"", 5, 5},
                                           {AirPlayMode::duplicate, "", 1, 1}}) {
        SCOPED_TRACE(c.name);
        const auto recognised =
            recogniseControlCentreScript(airPlayModeScript(c.mode, c.name, c.ticks));
        ASSERT_TRUE(recognised);
        EXPECT_EQ(recognised->timeoutSeconds, 25);
        const auto* panel = std::get_if<ModePanelScript>(&recognised->action);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->picksRightmostCard, c.mode == AirPlayMode::extend);
        EXPECT_EQ(panel->deviceName, c.name);
        EXPECT_EQ(panel->waitTicks, c.wantTicks);
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(ControlCentreScriptTest, CommentsNeitherHideNorAddStatements) {
    const auto disconnect = toggleDeviceScript({"K"}, {}, MirrorIntent::disconnect);
    // A commented-out connect test must not make the script a connect.
    const auto recognised = recogniseControlCentreScript(
        replaced(disconnect, "set already to false\n",
                 "set already to false\n        -- if already then\n"));
    ASSERT_TRUE(recognised);
    EXPECT_FALSE(std::get<MirrorToggleScript>(recognised->action).connects);

    const auto connect = toggleDeviceScript({"K"}, {}, MirrorIntent::connect);
    EXPECT_FALSE(recogniseControlCentreScript(
        replaced(connect, "            click e\n", "            -- click e\n")))
        << "a script that clicks nothing is not the connect script";
}

TEST(ControlCentreScriptTest, AnythingElseIsNotRecognised) {
    const auto connect = toggleDeviceScript({"K"}, {}, MirrorIntent::connect);
    const auto panel = airPlayModeScript(AirPlayMode::extend, "TV", 60);
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty", ""},
        {"plain", "return 6 * 7"},
        {"bare tell", "tell application \"System Events\""},
        {"no already test", replaced(connect, "if already then", "if true then")},
        {"filters that differ", replaced(connect, "idf contains \"K\"", "idf contains \"L\"")},
        {"mixed filter", replaced(connect, "idf contains \"K\"",
                                  "idf contains \"K\" and idf does not contain \"L\"")},
        {"escape the generator never writes", replaced(connect, "\"K\"", "\"K\\n\"")},
        {"unterminated key", replaced(connect, "\"K\") then", "\"K) then")},
        {"other process", replaced(connect, "process \"ControlCenter\"", "process \"Finder\"")},
        {"no deadline",
         replaced(connect, "with timeout of 20 seconds", "with timeout of x seconds")},
        {"names that differ",
         replaced(panel, "does not contain \"TV\"", "does not contain \"TX\"")},
        {"ticks not a number", replaced(panel, "repeat 60 times", "repeat n times")},
        {"ticks out of range", replaced(panel, "repeat 60 times", "repeat 99999999999 times")},
        {"no card comparison", replaced(panel, "if x > bestX then", "if x = bestX then")},
        {"cut short", panel.substr(0, panel.size() / 2)},
    };
    for (const auto& [name, script] : cases) {
        EXPECT_FALSE(recogniseControlCentreScript(script)) << name;
    }
}

}  // namespace
}  // namespace kd
