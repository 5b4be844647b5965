#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "main/startup.h"

namespace kd {
namespace {

// The N of "self-test: N checks passed\n", or -1 when the text is not exactly that.
int passedCount(const std::string& text) {
    const std::string head = "self-test: ";
    const std::string tail = " checks passed\n";
    if (text.size() <= head.size() + tail.size() || text.rfind(head, 0) != 0 ||
        text.substr(text.size() - tail.size()) != tail) {
        return -1;
    }
    const auto digits = text.substr(head.size(), text.size() - head.size() - tail.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(digits);
}

// Runs the program in-process with its settings in a fresh folder.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config_ =
            std::filesystem::temp_directory_path() / ("kd-startup-" + std::to_string(::getpid()));
        std::filesystem::remove_all(config_);
        ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(config_); }

    int run(std::vector<std::string> arguments) {
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        out.str("");
        err.str("");
        return runProgram(static_cast<int>(arguments.size()), argv.data(), out, err);
    }

    std::filesystem::path config_;
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
    std::filesystem::create_directories(config_);
    std::ofstream(file) << "{\"mac\": 3}";
    EXPECT_EQ(run({"kelvane-display", "--scenario", file.string()}), 2);
    EXPECT_EQ(err.str(),
              "kelvane-display: scenario " + file.string() + ": at mac: expected an object\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(StartupTest, NothingElseOnTheCommandLineKeepsTheSelfTestFromRunning) {
    const auto file = config_ / "broken.json";
    std::filesystem::create_directories(config_);
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
    std::filesystem::create_directories(config_);
    const std::string marker = "\"sidecarCore\": {\n    \"present\": true,";
    std::ifstream in(std::string(KD_SOURCE_DIR) + "/resources/scenarios/default.json");
    std::stringstream text;
    text << in.rdbuf();
    auto scenario = text.str();
    const auto at = scenario.find(marker);
    ASSERT_NE(at, std::string::npos);
    scenario.replace(at, marker.size(), "\"sidecarCore\": {\"present\": false,");
    std::ofstream(file) << scenario;
    EXPECT_EQ(run({"kelvane-display", "--self-test", "--scenario", file.string()}), 0)
        << out.str() << err.str();
}

}  // namespace
}  // namespace kd
