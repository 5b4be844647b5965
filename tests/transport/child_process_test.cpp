#include "transport/child_process.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "transport/child_probe.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::endsWithin;
using testing::goneAndReaped;
using testing::readPids;
using testing::ScratchDir;

// Generous on purpose: these bounds only prove that nothing hangs, and must
// hold in a sanitizer build on two busy cores. Each is well short of the
// 30-second sleeps that a hang would wait for.
constexpr auto kPatience = 10s;
constexpr double kNoHangSeconds = 15.0;

ChildRun shell(const std::string& script, Clock::duration timeout,
               ErrorStream errors = ErrorStream::capture) {
    return runChild("/bin/sh", {"-c", script}, timeout, errors);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(ChildProcessTest, ExitStatusOutputAndErrorsAreReported) {
    struct Case {
        const char* script;
        ErrorStream errors;
        std::optional<int> exitCode;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"echo out; echo err >&2", ErrorStream::capture, 0, "out\n", "err\n"},
        {"printf 'no line feed'; exit 3", ErrorStream::capture, 3, "no line feed", ""},
        {"echo err >&2; echo out", ErrorStream::discard, 0, "out\n", ""},
        {"echo dying; kill -9 $$", ErrorStream::capture, std::nullopt, "dying\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const auto run = shell(c.script, 10s, c.errors);
        EXPECT_FALSE(run.launchError);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

TEST(ChildProcessTest, AnExecutableThatCannotStartSaysWhy) {
    ScratchDir scratch;
    const auto notExecutable = scratch.path() / "plain-file";
    std::ofstream(notExecutable) << "echo never\n";
    struct Case {
        std::string executable;
        std::string reason;
    };
    const Case cases[] = {
        {(scratch.path() / "missing").string(), "No such file or directory"},
        {notExecutable.string(), "Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        const auto run = runChild(c.executable, {}, 10s, ErrorStream::capture);
        EXPECT_EQ(run.launchError, c.reason);
        EXPECT_FALSE(run.exitCode);
    }
}

TEST(ChildProcessTest, MoreThanAPipeHoldsOnBothStreamsIsReadWholeWithoutStalling) {
    constexpr std::size_t kMiB = std::size_t{1024} * 1024;
    // Standard error first: a reader that waited for the end of standard
    // output before reading it would stall the child at once.
    const auto run = shell(
        "head -c 1048576 /dev/zero | tr '\\0' e >&2; printf 'last' >&2;"
        "head -c 1048576 /dev/zero | tr '\\0' o; printf 'last'",
        20s);
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string(kMiB, 'o') + "last");
    EXPECT_EQ(run.err, std::string(kMiB, 'e') + "last");
}

TEST(ChildProcessTest, AChildThatIgnoresTerminationIsKilledAfterTheGrace) {
    ScratchDir scratch;
    const auto pids = scratch.quoted("pids");
    const auto start = Clock::now();
    // The ignored SIGTERM is inherited by the grandchild too.
    const auto timeout = 1s;
    const auto run = shell(
        "trap '' TERM; echo $$ > " + pids + "; sleep 30 & echo $! >> " + pids + "; wait; wait",
        timeout);
    const auto took = secondsSince(start);

    EXPECT_TRUE(run.timedOut);
    EXPECT_GE(took, std::chrono::duration<double>(timeout + kTerminationGrace).count())
        << "killed before its grace was over";
    EXPECT_LT(took, kNoHangSeconds);
    const auto started = readPids(scratch.path() / "pids");
    ASSERT_EQ(started.size(), 2u);
    EXPECT_TRUE(goneAndReaped(started[0]));
    EXPECT_TRUE(endsWithin(started[1], kPatience)) << "the grandchild outlived the call";
}

TEST(ChildProcessTest, TerminationReachesTheChildEvenWhenThisProcessIgnoresIt) {
    ScratchDir scratch;
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &previous);
    // A shell cannot trap a signal that was ignored when it started, so the
    // mark is only left when the child began with SIGTERM at its default. The
    // deadline leaves the shell ample time to set its trap first.
    const auto run = shell(
        "trap 'echo ended > " + scratch.quoted("mark") + "; exit 0' TERM; sleep 30 & wait", 2s);
    ::sigaction(SIGTERM, &previous, nullptr);

    EXPECT_TRUE(run.timedOut);
    EXPECT_TRUE(std::filesystem::exists(scratch.path() / "mark"))
        << "the child was only ended by the SIGKILL that follows the grace";
}

TEST(ChildProcessTest, AGrandchildHoldingThePipesDoesNotHoldUpTheCall) {
    ScratchDir scratch;
    const auto start = Clock::now();
    const auto run = shell("echo $$ > " + scratch.quoted("pids") + "; sleep 30 & echo $! >> " +
                               scratch.quoted("pids") + "; echo done",
                           20s);
    const auto took = secondsSince(start);

    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "done\n");
    EXPECT_LT(took, kNoHangSeconds);
    const auto started = readPids(scratch.path() / "pids");
    ASSERT_EQ(started.size(), 2u);
    EXPECT_TRUE(goneAndReaped(started[0]));
    EXPECT_TRUE(endsWithin(started[1], kPatience)) << "the grandchild outlived the call";
}

TEST(ChildProcessTest, AProcessThatLeftTheGroupDelaysTheCallOnlyByTheDrainWindow) {
    ScratchDir scratch;
    const auto start = Clock::now();
    const auto run =
        shell("setsid sleep 30 & echo $! > " + scratch.quoted("pids") + "; echo done", 20s);
    const auto took = secondsSince(start);
    const auto escaped = readPids(scratch.path() / "pids");
    for (const pid_t pid : escaped) ::kill(pid, SIGKILL);

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "done\n");
    EXPECT_LT(took, kNoHangSeconds);
}

}  // namespace
}  // namespace kd
