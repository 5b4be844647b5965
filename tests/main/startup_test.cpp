#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

    int run(std::vector<std::string> arguments, const SelfTestHooks& hooks = {}) {
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        out.str("");
        err.str("");
        return runProgram(static_cast<int>(arguments.size()), argv.data(), out, err, hooks);
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

TEST_F(StartupTest, FailedChecksAreListedAndCounted) {
    ASSERT_EQ(run({"kelvane-display", "--self-test"}), 0);
    const int passed = passedCount(out.str());
    ASSERT_GT(passed, 0) << out.str();
    const int total = passed + 2;

    EXPECT_EQ(run({"kelvane-display", "--self-test"}, SelfTestHooks{2}), 1);
    EXPECT_EQ(out.str(), "self-test: 2 of " + std::to_string(total) + " checks FAILED\n");
    const auto errors = err.str();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2);
    EXPECT_EQ(errors.rfind("FAIL  ", 0), 0u);
    EXPECT_NE(errors.find("\nFAIL  "), std::string::npos);
}

TEST_F(StartupTest, ABadScenarioStopsTheProgramWithOneLineAndStatusTwo) {
    const auto file = config_ / "broken.json";
    std::filesystem::create_directories(config_);
    std::ofstream(file) << "{\"mac\": 3}";
    EXPECT_EQ(run({"kelvane-display", "--scenario", file.string()}), 2);
    EXPECT_EQ(err.str(),
              "kelvane-display: scenario " + file.string() + ": at mac: expected an object\n");
    EXPECT_EQ(out.str(), "");

    EXPECT_EQ(run({"kelvane-display", "--self-test", "--scenario", file.string()}), 2)
        << "the self-test cannot run on a Mac it cannot build";
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
