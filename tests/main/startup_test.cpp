#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "main/startup.h"
#include "platform/sim/scenario.h"
#include "support/files.h"
#include "support/saved_variable.h"

namespace kd {
namespace {

// The N of "self-test: N checks passed\n", or -1 when the text is not exactly that.
int passedCount(const std::string& text) {
    std::smatch count;
    if (!std::regex_match(text, count, std::regex("self-test: (\\d+) checks passed\n"))) return -1;
    return std::stoi(count[1]);
}

// Runs the program in-process with its settings in a fresh folder.
class StartupTest : public ::testing::Test {
  protected:
    int run(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        out.str("");
        err.str("");
        return runProgram(static_cast<int>(arguments.size()), argv.data(), out, err);
    }

    const testing::ScratchDir scratch_;
    const std::filesystem::path& config_ = scratch_.path();
    const testing::SavedVariable xdg_{"XDG_CONFIG_HOME", config_};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(StartupTest, SelfTestPrintsOnlyItsSummaryAndPasses) {
    EXPECT_EQ(run({"kelvane-display", "--self-test"}), 0) << err.str();
    EXPECT_GT(passedCount(out.str()), 0) << out.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(StartupTest, ABadScenarioStopsTheProgramWithOneLineAndStatusTwo) {
    const auto file = config_ / "broken.json";
    std::ofstream(file) << "{\"mac\": 3}";
    EXPECT_EQ(run({"kelvane-display", "--scenario", file.string()}), 2);
    EXPECT_EQ(err.str(),
              "kelvane-display: scenario " + file.string() + ": at mac: expected an object\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(StartupTest, NothingElseOnTheCommandLineKeepsTheSelfTestFromRunning) {
    const auto file = config_ / "broken.json";
    std::ofstream(file) << "{\"mac\": 3}";
    EXPECT_EQ(run({"kelvane-display", "--self-test", "--scenario", file.string()}), 0);
    EXPECT_GT(passedCount(out.str()), 0) << out.str();
    EXPECT_EQ(err.str(), "kelvane-display: scenario " + file.string() +
                             ": at mac: expected an object\n"
                             "kelvane-display: the self-test runs on the built-in Mac instead\n");

    EXPECT_EQ(run({"kelvane-display", "--scenario", "--self-test", "--frobnicate"}), 0);
    EXPECT_GT(passedCount(out.str()), 0) << out.str();
    EXPECT_EQ(err.str(),
              "kelvane-display: option '--scenario' needs a file (ignored: the self-test runs "
              "anyway)\n"
              "kelvane-display: unknown option '--frobnicate' (ignored: the self-test runs "
              "anyway)\n");
}

TEST_F(StartupTest, ListPrintsTheDevicesOfOneScanInDisplayOrder) {
    EXPECT_EQ(run({"kelvane-display", "--list", "--wait", "1"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "Studio iPad  ipad  iPad16,6\n"
              "Living Room  appletv  AppleTV14,1\n");

    EXPECT_EQ(run({"kelvane-display", "--list", "--json", "--wait=1"}), 0) << err.str();
    const auto list = nlohmann::json::parse(out.str());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["id"], "sidecar");
    EXPECT_EQ(list[1], nlohmann::json::parse(R"({
        "id": "Living Room", "name": "Living Room", "kind": "appletv", "model": "AppleTV14,1",
        "matchKeys": ["AA:BB:CC:DD:EE:FF", "7A1C2E3B-4D5F-4A6B-8C7D-9E0F1A2B3C4D",
                      "2E388006-13BA-4041-9A67-25DD4A43D536"],
        "features": 1518338039, "host": "Living-Room.local", "port": 7000})"));
}

TEST_F(StartupTest, ABadCommandLineIsStatusTwoWithAHint) {
    EXPECT_EQ(run({"kelvane-display", "--nope"}), 2);
    EXPECT_EQ(err.str(),
              "kelvane-display: unknown option '--nope'\n"
              "Try 'kelvane-display --help' for more information.\n");
}

TEST_F(StartupTest, SelfTestRunsOnAMacWithoutSidecar) {
    const auto file = config_ / "no-sidecar.json";
    auto scenario = nlohmann::json::parse(defaultScenarioJson());
    scenario["sidecarCore"]["present"] = false;
    std::ofstream(file) << scenario.dump();
    EXPECT_EQ(run({"kelvane-display", "--self-test", "--scenario", file.string()}), 0)
        << out.str() << err.str();
}

}  // namespace
}  // namespace kd
