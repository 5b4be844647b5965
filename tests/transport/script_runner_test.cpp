#include "transport/script_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "transport/child_probe.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const ScriptInterpreter kStandIn{KD_STAND_IN_INTERPRETER};

struct Case {
    std::string script;
    ScriptResult want;
};

void expectResults(const ScriptInterpreter& interpreter, const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        // Ample for a sanitizer build on two busy cores: none of these scripts waits.
        const auto result = runAppleScript(interpreter, c.script, 20s);
        EXPECT_EQ(result.ok, c.want.ok);
        EXPECT_EQ(result.out, c.want.out);
    }
}

TEST(ScriptRunnerTest, OutputIsChosenAndJudgedAsTheInterpreterLeftIt) {
    const testing::SimShellInterpreter shell;
    expectResults(shell.interpreter(),
                  {
                      {"echo answer", {true, "answer\n"}},
                      {"printf '  untrimmed \\n\\n'", {true, "  untrimmed \n\n"}},
                      {"echo out; echo err >&2; exit 1", {false, "out\n"}},
                      {"echo 'the error' >&2; exit 1", {false, "the error\n"}},
                      {"echo 'a warning' >&2", {true, "a warning\n"}},
                      {"printf 'caf\\303\\251'", {true, "café"}},
                      // A stream that is not UTF-8 counts as empty.
                      {"printf '\\377'; echo err >&2", {true, "err\n"}},
                      {"printf 'caf\\351' >&2; exit 2", {false, ""}},
                      {"kill -9 $$", {false, ""}},
                  });
}

TEST(ScriptRunnerTest, TheStandInRunsPlainScripts) {
    expectResults(
        kStandIn,
        {
            {"return 6 * 7", {true, "42\n"}},
            {"return 2 + 3 * 4 - (8 - 2) / 4", {true, "13\n"}},
            {"return -(2 - 9) * -1", {true, "-7\n"}},
            {"-- warm up\r\n\r\nDELAY 0.05\r\n  return 1 -- done", {true, "1\n"}},
            {"delay .05", {true, ""}},
            {"", {true, ""}},
            {"return 1 / 0", {false, "9:10: execution error: Can’t divide 1 by zero. (-2701)\n"}},
            {"return 9223372036854775807 + 1",
             {false,
              "27:28: execution error: The result of a numeric operation was too "
              "large. (-2702)\n"}},
            {"tell application \"System Events\"",
             {false,
              "0:32: syntax error: A unknown token can’t go after this identifier. "
              "(-2740)\n"}},
            {"return (1 + 2",
             {false, "13:13: syntax error: Expected “)” but found unknown token. (-2741)\n"}},
            {"delay soon",
             {false,
              "6:10: syntax error: Expected expression but found unknown token. "
              "(-2741)\n"}},
            // Checked whole before it runs, or the delay would outlast the timeout.
            {"delay 30\nreturn 1 +",
             {false,
              "19:19: syntax error: Expected expression but found end of line. "
              "(-2741)\n"}},
        });
}

TEST(ScriptRunnerTest, AWedgedScriptIsGivenUpOnAtItsDeadline) {
    const auto start = Clock::now();
    const auto result = runAppleScript(kStandIn, "delay 30", 1500ms);
    const auto took = Clock::now() - start;
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.out, "Screen Mirroring didn't answer in time");
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 15s) << "no hang: generous for a sanitizer build on two busy cores";
}

TEST(ScriptRunnerTest, AnInterpreterThatCannotStartIsReportedWithTheReason) {
    const testing::ScratchDir scratch;
    const auto missing = (scratch.path() / "osascript").string();
    const auto result = runAppleScript(ScriptInterpreter{missing}, "return 1");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.out,
              "Couldn't start the script interpreter " + missing + " — No such file or directory");
}

}  // namespace
}  // namespace kd
