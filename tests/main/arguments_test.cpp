#include <gtest/gtest.h>

#include "main/arguments.h"

namespace kd {
namespace {

TEST(ArgumentsTest, SelfTestIsAnExactArgumentAnywhere) {
    EXPECT_TRUE(containsSelfTest({"kelvane-display", "--self-test"}));
    EXPECT_TRUE(containsSelfTest({"--self-test"})) << "argument 0 counts too";
    EXPECT_TRUE(containsSelfTest({"kelvane-display", "--verbose", "--self-test", "x"}));
    EXPECT_FALSE(containsSelfTest({"kelvane-display", "--self-testing"}));
    EXPECT_FALSE(containsSelfTest({"kelvane-display", "x--self-test"}));
    EXPECT_FALSE(containsSelfTest({"kelvane-display", "--self-test="}));
    EXPECT_FALSE(containsSelfTest({}));
}

Options parsed(const std::vector<std::string>& arguments) {
    const auto result = parseArguments(arguments);
    EXPECT_TRUE(std::holds_alternative<Options>(result)) << std::get<ArgumentError>(result).message;
    return std::holds_alternative<Options>(result) ? std::get<Options>(result) : Options{};
}

std::string refused(const std::vector<std::string>& arguments) {
    const auto result = parseArguments(arguments);
    EXPECT_TRUE(std::holds_alternative<ArgumentError>(result));
    return std::holds_alternative<ArgumentError>(result) ? std::get<ArgumentError>(result).message
                                                         : std::string();
}

TEST(ArgumentsTest, NothingStartsTheApplicationOnTheBuiltInMac) {
    const auto options = parsed({"kelvane-display"});
    EXPECT_EQ(options.mode, Options::Mode::application);
    EXPECT_FALSE(options.scenarioPath);
}

TEST(ArgumentsTest, ScenarioTakesAFileInEitherSpelling) {
    EXPECT_EQ(parsed({"k", "--scenario", "a.json"}).scenarioPath, "a.json");
    EXPECT_EQ(parsed({"k", "--scenario=b.json"}).scenarioPath, "b.json");
    EXPECT_EQ(refused({"k", "--scenario"}), "option '--scenario' needs a file");
    EXPECT_EQ(refused({"k", "--scenario="}), "option '--scenario' needs a file");
}

TEST(ArgumentsTest, UnknownArgumentsAreRefusedUnlessSelfTesting) {
    EXPECT_EQ(refused({"k", "--frobnicate"}), "unknown option '--frobnicate'");
    EXPECT_EQ(refused({"k", "stray"}), "unexpected argument 'stray'");

    const auto selfTest = parsed({"k", "--frobnicate", "--help", "--self-test", "--scenario"});
    EXPECT_EQ(selfTest.mode, Options::Mode::selfTest) << "nothing keeps the self-test from running";
    EXPECT_EQ(selfTest.ignored, (std::vector<std::string>{"unknown option '--frobnicate'",
                                                          "option '--scenario' needs a file"}));
    EXPECT_EQ(parsed({"k", "--self-test", "--scenario", "m.json"}).scenarioPath, "m.json");
    // "--self-test" is never taken for an option's value.
    const auto early = parsed({"k", "--scenario", "--self-test"});
    EXPECT_EQ(early.mode, Options::Mode::selfTest);
    EXPECT_FALSE(early.scenarioPath);
}

TEST(ArgumentsTest, ListTakesJsonAndAWaitInSeconds) {
    const auto list = parsed({"k", "--list", "--json", "--wait", "2.5", "--scenario", "m.json"});
    EXPECT_EQ(list.mode, Options::Mode::list);
    EXPECT_TRUE(list.json);
    EXPECT_EQ(list.wait, std::chrono::milliseconds(2500));
    EXPECT_EQ(parsed({"k", "--list", "--wait=0"}).wait, std::chrono::milliseconds(0));
    for (const auto* bad : {"-1", "601", "soon", "", "1e999", "nan"}) {
        EXPECT_EQ(refused({"k", "--list", std::string("--wait=") + bad}),
                  "option '--wait' needs a number of seconds from 0 to 600")
            << bad;
    }
    EXPECT_EQ(refused({"k", "--json"}),
              "option '--json' only goes with '--list' or the device actions");
    EXPECT_EQ(refused({"k", "--wait", "3"}), "option '--wait' only goes with '--list'");
}

TEST(ArgumentsTest, DeviceActionsRunInTheOrderGivenWithTheirSides) {
    const auto options = parsed({"k", "--connect", "Studio iPad", "--side", "right", "--mirror=TV",
                                 "--connect", "Living Room", "--disconnect", "TV", "--json"});
    EXPECT_EQ(options.mode, Options::Mode::flows);
    EXPECT_TRUE(options.json);
    using Kind = FlowAction::Kind;
    EXPECT_EQ(options.actions,
              (std::vector<FlowAction>{{Kind::connect, "Studio iPad", Side::right},
                                       {Kind::mirror, "TV", std::nullopt},
                                       {Kind::connect, "Living Room", std::nullopt},
                                       {Kind::disconnect, "TV", std::nullopt}}));

    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"k", "--connect"}, "option '--connect' needs a device name"},
        {{"k", "--mirror="}, "option '--mirror' needs a device name"},
        {{"k", "--connect", "TV", "--side", "Left"}, "option '--side' needs left, right or top"},
        {{"k", "--side", "left"}, "option '--side' goes after a '--connect NAME' of its own"},
        {{"k", "--mirror", "TV", "--side", "left"},
         "option '--side' goes after a '--connect NAME' of its own"},
        {{"k", "--connect", "TV", "--side", "left", "--side", "top"},
         "option '--side' goes after a '--connect NAME' of its own"},
        {{"k", "--list", "--connect", "TV"},
         "option '--list' does not go with '--connect', '--mirror' or '--disconnect'"},
    };
    for (const auto& [arguments, message] : refusals) EXPECT_EQ(refused(arguments), message);
}

TEST(ArgumentsTest, ShareTakesAnOptionalSizeAndGoesAlone) {
    EXPECT_EQ(parsed({"k", "--share"}).mode, Options::Mode::share);
    EXPECT_EQ(parsed({"k", "--share"}).shareSize, std::nullopt);
    EXPECT_EQ(parsed({"k", "--share", "1280x720"}).shareSize, (ShareSize{1280, 720}));
    EXPECT_EQ(parsed({"k", "--share=2560\u00d71440"}).shareSize, (ShareSize{2560, 1440}));
    const auto withScenario = parsed({"k", "--share", "--scenario", "mac.json"});
    EXPECT_EQ(withScenario.shareSize, std::nullopt);
    EXPECT_EQ(withScenario.scenarioPath, "mac.json");

    const std::string badSize =
        "option '--share' takes a size such as 1920x1080 (320x240 to 16384x16384)";
    for (const char* size : {"1280", "100x100", "99999x1080", "1280x720x3", "wide", "-5x10"}) {
        EXPECT_EQ(refused({"k", std::string("--share=") + size}), badSize) << size;
    }
    EXPECT_EQ(refused({"k", "--share", "--list"}),
              "option '--share' goes alone (with '--scenario' at most)");
    EXPECT_EQ(refused({"k", "--share", "--connect", "TV"}),
              "option '--share' goes alone (with '--scenario' at most)");
}

TEST(ArgumentsTest, HelpAndVersion) {
    EXPECT_EQ(parsed({"k", "--help"}).mode, Options::Mode::help);
    EXPECT_EQ(parsed({"k", "-h"}).mode, Options::Mode::help);
    EXPECT_EQ(parsed({"k", "--version"}).mode, Options::Mode::version);
}

}  // namespace
}  // namespace kd
