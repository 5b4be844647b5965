#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/sim/scenario.h"
#include "support/files.h"

namespace kd {
namespace {

using nlohmann::json;

// The message of the ScenarioError that `load` throws; empty when it throws none.
std::string errorOf(const std::function<void()>& load) {
    try {
        load();
    } catch (const ScenarioError& error) {
        return error.what();
    }
    return {};
}

struct BrokenCase {
    const char* name;
    std::function<void(json&)> breakIt;
    const char* message;  // the place and the problem
};

class BrokenScenarioTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenScenarioTest, IsRefusedNamingTheFileThePlaceAndTheProblem) {
    auto document = json::parse(defaultScenarioJson());
    GetParam().breakIt(document);
    const auto what = errorOf([&] { parseScenario(document.dump(2), "mine.json"); });
    EXPECT_TRUE(what.starts_with("scenario mine.json: ")) << "accepted, or: " << what;
    EXPECT_NE(what.find(GetParam().message), std::string::npos) << what;
    EXPECT_EQ(what.find('\n'), std::string::npos) << "one line";
}

json& panel(json& d) {
    return d["displays"][0];
}

INSTANTIATE_TEST_SUITE_P(
    EveryRule, BrokenScenarioTest,
    ::testing::Values(
        BrokenCase{"NotAnObject", [](json& d) { d = json::array(); },
                   "at top level: expected an object"},
        BrokenCase{"UnknownTopLevelKey", [](json& d) { d["colour"] = "red"; },
                   "at colour: unknown key \"colour\""},
        BrokenCase{"UnknownNestedKey", [](json& d) { panel(d)["modes"][2]["hz"] = 60; },
                   "at displays[0].modes[2].hz: unknown key"},
        BrokenCase{"MissingKey", [](json& d) { d.erase("mac"); },
                   "at top level: missing key \"mac\""},
        BrokenCase{"WrongType", [](json& d) { panel(d)["builtIn"] = "yes"; },
                   "at displays[0].builtIn: expected true or false"},
        BrokenCase{"TextWhereANumberBelongs", [](json& d) { panel(d)["id"] = "1"; },
                   "at displays[0].id: expected an integer"},
        BrokenCase{"DisplayIDZero", [](json& d) { panel(d)["id"] = 0; },
                   "at displays[0].id: expected an integer from 1 to 4294967295, got 0"},
        BrokenCase{"FractionalModeSize", [](json& d) { panel(d)["modes"][0]["width"] = 1.5; },
                   "at displays[0].modes[0].width: expected an integer"},
        BrokenCase{"NegativeRefresh", [](json& d) { panel(d)["modes"][0]["refresh"] = -1; },
                   "at displays[0].modes[0].refresh: expected a refresh rate of 0 or more"},
        BrokenCase{"BoundsOfThreeNumbers",
                   [](json& d) {
                       panel(d)["bounds"] = {0, 0, 10};
                   },
                   "at displays[0].bounds: expected [x, y, width, height]"},
        BrokenCase{"EmptyBounds",
                   [](json& d) {
                       panel(d)["bounds"] = {0, 0, 0, 10};
                   },
                   "at displays[0].bounds: expected a positive width and height"},
        BrokenCase{"NoModes", [](json& d) { panel(d)["modes"] = json::array(); },
                   "at displays[0].modes: expected at least one mode"},
        BrokenCase{"ModeIDTwiceAtOneRate",
                   [](json& d) {
                       auto& modes = panel(d)["modes"];
                       modes[1]["id"] = modes[0]["id"];
                       modes[1]["refresh"] = modes[0]["refresh"];
                   },
                   "at displays[0].modes[1].id: mode id used twice at one refresh rate"},
        BrokenCase{"CurrentModeUnknown", [](json& d) { panel(d)["currentMode"] = 999; },
                   "at displays[0].currentMode: no mode has this id"},
        BrokenCase{"CurrentModeOfSeveralRatesWithoutOne",
                   [](json& d) { panel(d)["modes"][5]["id"] = panel(d)["currentMode"]; },
                   "at displays[0].currentMode: this id is listed at several refresh rates"},
        BrokenCase{"CurrentRefreshNotListed", [](json& d) { panel(d)["currentRefresh"] = 90; },
                   "at displays[0].currentRefresh: the current mode's id is not listed at this "
                   "refresh rate"},
        BrokenCase{"DisplayIDTwice", [](json& d) { d["displays"].push_back(d["displays"][0]); },
                   "at displays[1].id: display id used twice"},
        BrokenCase{"MirrorOfItself", [](json& d) { panel(d)["mirrorOf"] = 1; },
                   "at displays[0].mirrorOf: a display cannot mirror itself"},
        BrokenCase{"MirrorOfNobody", [](json& d) { panel(d)["mirrorOf"] = 77; },
                   "at displays[0].mirrorOf: no display has this id"},
        BrokenCase{"SeventeenDisplays",
                   [](json& d) {
                       for (int id = 2; id <= 17; ++id) {
                           auto copy = d["displays"][0];
                           copy["id"] = id;
                           copy["builtIn"] = false;
                           d["displays"].push_back(copy);
                       }
                   },
                   "at displays: at most 16 displays can be online"},
        BrokenCase{"ReceiverPortOutOfRange",
                   [](json& d) { d["airPlayReceivers"][0]["port"] = 70000; },
                   "at airPlayReceivers[0].port: expected an integer from 1 to 65535"},
        BrokenCase{"NegativeConnectDelay",
                   [](json& d) { d["airPlayReceivers"][0]["connectDelayMs"] = -1; },
                   "at airPlayReceivers[0].connectDelayMs: expected an integer from 0 to 60000"},
        BrokenCase{"MirrorsInsteadOfExtendingAsText",
                   [](json& d) { d["airPlayReceivers"][0]["mirrorsInsteadOfExtending"] = "yes"; },
                   "at airPlayReceivers[0].mirrorsInsteadOfExtending: expected true or false"},
        BrokenCase{"SidecarDeviceWithoutIdentifier",
                   [](json& d) { d["sidecarDevices"][0].erase("identifier"); },
                   "at sidecarDevices[0]: missing key \"identifier\""},
        BrokenCase{"SymbolListOfNumbers", [](json& d) { d["skyLight"]["missingSymbols"] = {1}; },
                   "at skyLight.missingSymbols[0]: expected a string"},
        BrokenCase{"ConfigurationErrorAsText",
                   [](json& d) {
                       d["configuration"] = {{"completeError", "1000"}};
                   },
                   "at configuration.completeError: expected an integer"},
        BrokenCase{"UnknownConfigurationStep",
                   [](json& d) {
                       d["configuration"] = {{"configureError", 1000}};
                   },
                   "at configuration.configureError: unknown key"},
        BrokenCase{"SidecarSettingsNotAnObject", [](json& d) { d["sidecarSettings"] = 3; },
                   "at sidecarSettings: expected an object"},
        BrokenCase{"UnknownPowerKey", [](json& d) { d["power"]["fanSpeed"] = 1200; },
                   "at power.fanSpeed: unknown key"},
        BrokenCase{"BatteryTemperatureInDegrees",
                   [](json& d) { d["power"]["batteryTemperature"] = 30.5; },
                   "at power.batteryTemperature: expected an integer"},
        BrokenCase{"BatteryHotterThanBoiling",
                   [](json& d) { d["power"]["batteryTemperature"] = 10001; },
                   "at power.batteryTemperature: expected an integer from 0 to 10000, got 10001"},
        BrokenCase{"SpeedLimitOverAHundredPercent",
                   [](json& d) { d["power"]["cpuSpeedLimit"] = 101; },
                   "at power.cpuSpeedLimit: expected an integer from 0 to 100, got 101"},
        BrokenCase{"PromptAnsweredMaybe", [](json& d) { d["power"]["adminPrompt"] = "maybe"; },
                   "at power.adminPrompt: expected \"allow\", \"cancel\" or \"fail\""},
        BrokenCase{"VirtualDisplaysNotAnObject", [](json& d) { d["virtualDisplays"] = true; },
                   "at virtualDisplays: expected an object"},
        BrokenCase{"UnknownVirtualDisplayKey",
                   [](json& d) { d["virtualDisplays"]["refuseModes"] = true; },
                   "at virtualDisplays.refuseModes: unknown key"},
        BrokenCase{"RefusalAsText", [](json& d) { d["virtualDisplays"]["refuse"] = "yes"; },
                   "at virtualDisplays.refuse: expected true or false"},
        BrokenCase{"RejectionAsNumber", [](json& d) { d["virtualDisplays"]["rejectModes"] = 1; },
                   "at virtualDisplays.rejectModes: expected true or false"},
        BrokenCase{"NoPixelsAtAll", [](json& d) { d["virtualDisplays"]["largestPixels"] = 0; },
                   "at virtualDisplays.largestPixels: expected an integer from 1 to"},
        BrokenCase{"TerminationBeforeItBegins",
                   [](json& d) { d["virtualDisplays"]["terminateAfterMs"] = -1; },
                   "at virtualDisplays.terminateAfterMs: expected an integer from 0 to"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScenarioTest, OneIDAtSeveralRatesIsOneModePerRate) {
    auto document = json::parse(defaultScenarioJson());
    auto& modes = panel(document)["modes"];
    ASSERT_EQ(modes[4]["id"], panel(document)["currentMode"]);
    modes[5]["id"] = modes[4]["id"];  // the same size at 120 Hz and 60 Hz
    panel(document)["currentRefresh"] = 60;
    const auto scenario = parseScenario(document.dump(), "mine.json");
    const auto* current = currentModeOf(scenario.displays.front());
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->id, 5);
    EXPECT_EQ(current->refresh, 60);
}

TEST(ScenarioTest, AMacWithoutABatteryOrThermalReport) {
    auto document = json::parse(defaultScenarioJson());
    document["power"] = {{"batteryTemperature", nullptr}, {"adminPrompt", "cancel"}};
    const auto power = parseScenario(document.dump(), "mine.json").power;
    EXPECT_EQ(power.batteryTemperature, std::nullopt);
    EXPECT_EQ(power.cpuSpeedLimit, std::nullopt);
    EXPECT_EQ(power.adminPrompt, ScenarioAdminPrompt::cancel);
}

TEST(ScenarioTest, VirtualDisplaysWorkUnlessTheScenarioSaysOtherwise) {
    auto document = json::parse(defaultScenarioJson());
    EXPECT_FALSE(parseScenario(document.dump(), "mine.json").virtualDisplays.refuse);
    document["virtualDisplays"] = {
        {"rejectModes", true}, {"largestPixels", 3840 * 2160}, {"terminateAfterMs", 5000}};
    const auto virtualDisplays = parseScenario(document.dump(), "mine.json").virtualDisplays;
    EXPECT_FALSE(virtualDisplays.refuse);
    EXPECT_TRUE(virtualDisplays.rejectModes);
    EXPECT_EQ(virtualDisplays.largestPixels, 3840 * 2160);
    EXPECT_EQ(virtualDisplays.terminateAfterMs, 5000);
}

TEST(ScenarioTest, TextThatIsNotJSONIsPlacedByLineAndColumn) {
    const auto what =
        errorOf([] { parseScenario("{\n  \"mac\": {\n    \"model\": \n}", "mine.json"); });
    EXPECT_NE(what.find("scenario mine.json: at line 4, column 1: not JSON"), std::string::npos)
        << what;
}

TEST(ScenarioTest, AFileOnDiskReadsLikeTheSameTextOrSaysWhyNot) {
    const testing::ScratchDir scratch;
    const auto path = (scratch.path() / "scenario.json").string();
    EXPECT_NE(errorOf([&] { loadScenarioFile(path); }).find("cannot be read: No such file"),
              std::string::npos);
    auto document = json::parse(defaultScenarioJson());
    document["skyLight"]["present"] = false;
    document["sidecarCore"]["present"] = false;
    std::ofstream(path) << document.dump();
    const auto scenario = loadScenarioFile(path);
    EXPECT_FALSE(scenario.skyLight.present);
    EXPECT_FALSE(scenario.sidecarCore.present);
    EXPECT_TRUE(scenario.coreDisplay.present);
}

}  // namespace
}  // namespace kd
