// runAdmin through the stand-in interpreter on the simulated Mac: its
// password prompt, its privileged shell, and what comes back.

#include "lid/run_admin.h"

#include <gtest/gtest.h>

#include "lid/lid_fixtures.h"
#include "lid/lid_guard.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

class RunAdminTest : public ::testing::Test {
  protected:
    ScriptInterpreter interpreter() const {
        return {KD_STAND_IN_INTERPRETER, {mac_.interpreterVariable()}};
    }

    SimSystemTools tools_{defaultScenario().mac};
    SimPowerManager mac_{ScenarioPower{}, tools_};
    testing::ScratchDir scratch_;
};

TEST_F(RunAdminTest, ACommandReachesTheShellUnchanged) {
    // Every character AppleScript or the shell could take for its own.
    const std::string payload = "say \"hi\" \\ \\\" $HOME `date` 'single' \\n";
    const auto out = (scratch_.path() / "out").string();
    const auto result =
        runAdmin(interpreter(), "cat > '" + out + "' <<'END'\n" + payload + "\nEND", 30s);
    EXPECT_TRUE(result.ok) << result.err;
    EXPECT_EQ(testing::fileText(out), payload + "\n");
}

TEST_F(RunAdminTest, ThePromptAndTheCommandDecideTheOutcome) {
    struct Case {
        ScenarioAdminPrompt prompt;
        std::string command;
        bool ok;
        std::string status;  // what the lid guard makes of it, after "0:LENGTH: "
    };
    const std::string disable = "pmset -a disablesleep 1";
    const std::string failing = "echo 'cp: /x: No such file or directory' >&2; exit 1";
    const std::vector<Case> cases{
        {ScenarioAdminPrompt::allow, disable, true, ""},
        {ScenarioAdminPrompt::cancel, disable, false,
         "Cancelled \u2014 this needs the administrator password"},
        {ScenarioAdminPrompt::fail, disable, false,
         "execution error: The administrator user name or password was incorrect. (-60005)"},
        {ScenarioAdminPrompt::allow, failing, false,
         "execution error: cp: /x: No such file or directory (1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        mac_.setAdminPrompt(c.prompt);
        const auto result = runAdmin(interpreter(), c.command, 30s);
        EXPECT_EQ(result.ok, c.ok) << result.err;
        const auto where = "0:" + std::to_string(adminScript(c.command).size()) + ": ";
        EXPECT_EQ(lidStatusText(result), c.status.starts_with("execution")
                                             ? "Didn't work: " + where + c.status
                                             : c.status);
        EXPECT_EQ(mac_.sleepDisabled(), c.ok);
        testing::runPrivileged(mac_, "pmset -a disablesleep 0");
    }
}

TEST_F(RunAdminTest, AnInterpreterThatCannotStartIsNamed) {
    const auto result = runAdmin({"/nonexistent/osascript"}, "true", 30s);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.err, "could not launch osascript");
}

TEST_F(RunAdminTest, AnUnansweredPromptIsGivenUpOnAndEndsWhatItStarted) {
    const auto pids = (scratch_.path() / "pids").string();
    const auto started = std::chrono::steady_clock::now();
    const auto result = runAdmin(interpreter(), "echo $$ > '" + pids + "'; sleep 300", 500ms);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.err, kAdminTimedOutText);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
    for (const auto pid : testing::readPids(pids)) {
        EXPECT_TRUE(testing::endsWithin(pid, 10s)) << pid;
    }
}

TEST(RunAdminWithoutASimulatedMacTest, NothingRuns) {
    testing::ScratchDir scratch;
    const auto marker = (scratch.path() / "ran").string();
    const auto result = runAdmin({KD_STAND_IN_INTERPRETER}, "touch '" + marker + "'", 30s);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.err.find("(-10004)"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace kd
