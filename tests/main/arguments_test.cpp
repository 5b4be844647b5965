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
    EXPECT_EQ(parsed({"k", "--self-test", "--scenario", "m.json"}).scenarioPath, "m.json");
}

TEST(ArgumentsTest, HelpAndVersion) {
    EXPECT_EQ(parsed({"k", "--help"}).mode, Options::Mode::help);
    EXPECT_EQ(parsed({"k", "-h"}).mode, Options::Mode::help);
    EXPECT_EQ(parsed({"k", "--version"}).mode, Options::Mode::version);
}

}  // namespace
}  // namespace kd
