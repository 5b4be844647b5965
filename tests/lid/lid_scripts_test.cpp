#include "lid/lid_scripts.h"

#include <gtest/gtest.h>

#include <fstream>

#include "lid/daemon_arguments.h"
#include "lid/lid_fixtures.h"
#include "lid/quoting.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

const LidPaths kOrdinary =
    lidPaths("/Users/ada/Library/Application Support/Kelvane Display/LidGuard");

// Folder names that end careless quoting, run commands or break XML.
const std::vector<std::string> kHostileNames{
    "O'Brien \"$(x)\" & Co",
    "back\\slash `x` $HOME",
    "'; rm -rf ~; '",
    "<a>&amp;</a>",
    "\"\\\"",
    "tab\there",
};

std::string shellOutput(const std::string& command) {
    const auto run = runChild("/bin/bash", {"-c", command}, 30s, ErrorStream::capture);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
}

TEST(LidScriptsTest, AnOrdinaryHomeGivesTheseTextsExactly) {
    EXPECT_EQ(watchdogScript(kOrdinary), testing::golden("watchdog.sh"));
    EXPECT_EQ(daemonPlist(kOrdinary), testing::golden("daemon.plist"));
    EXPECT_EQ(enableCommand(kOrdinary), testing::golden("enable.txt"));
    EXPECT_EQ(disableCommand(kOrdinary), testing::golden("disable.txt"));
    EXPECT_EQ(sleepNowCommand(kOrdinary), testing::golden("disable.txt") + "; pmset sleepnow");
}

TEST(LidScriptsTest, QuotedNamesReachTheShellAsTheyAre) {
    for (const auto& name : kHostileNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(shellOutput("printf %s '" + insideSingleQuotes(name) + "'"), name);
        EXPECT_EQ(shellOutput("printf %s \"" + insideDoubleQuotes(name) + "\""), name);
    }
}

TEST(LidScriptsTest, BashAcceptsTheWatchdogWhateverTheFolderNames) {
    testing::ScratchDir scratch;
    auto names = kHostileNames;
    names.push_back("ordinary");
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const auto paths = lidPaths("/Users/" + name + "/LidGuard", "/Volumes/" + name);
        const auto file = (scratch.path() / "watchdog.sh").string();
        std::ofstream(file, std::ios::binary) << watchdogScript(paths);
        const auto check = runChild("/bin/bash", {"-n", file}, 30s, ErrorStream::capture);
        EXPECT_EQ(check.exitCode, 0) << check.err;
    }
}

TEST(LidScriptsTest, ThePropertyListRunsTheInstalledWatchdogUnderBash) {
    auto names = kHostileNames;
    names.push_back("");
    for (const auto& root : names) {
        SCOPED_TRACE(root);
        const auto paths = lidPaths("/Users/ada/LidGuard", root.empty() ? "" : "/Volumes/" + root);
        EXPECT_EQ(daemonProgramArguments(daemonPlist(paths)),
                  (std::vector<std::string>{"/bin/bash", paths.installedWatchdog}));
    }
    EXPECT_EQ(kOrdinary.installedWatchdog,
              "/Library/LaunchDaemons/com.kelvane1.display.lidguard.sh");
}

}  // namespace
}  // namespace kd
