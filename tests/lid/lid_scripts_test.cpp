#include "lid/lid_scripts.h"

#include <gtest/gtest.h>

#include <fstream>

#include "lid/daemon_arguments.h"
#include "lid/quoting.h"
#include "support/files.h"
#include "support/golden.h"
#include "transport/child_process.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

ChildRun bash(const std::vector<std::string>& arguments) {
    return runChild("/bin/bash", arguments, 30s, ErrorStream::capture);
}

TEST(LidScriptsTest, AnOrdinaryHomeGivesTheseTextsExactly) {
    const auto paths = lidPaths("/Users/ada/Library/Application Support/Kelvane Display/LidGuard");
    const auto golden = [](const std::string& name) {
        return testing::golden("lid/golden/" + name);
    };
    EXPECT_EQ(watchdogScript(paths), golden("watchdog.sh"));
    EXPECT_EQ(daemonPlist(paths), golden("daemon.plist"));
    EXPECT_EQ(enableCommand(paths), golden("enable.txt"));
    EXPECT_EQ(disableCommand(paths), golden("disable.txt"));
    EXPECT_EQ(sleepNowCommand(paths), golden("disable.txt") + "; pmset sleepnow");
}

// Folder names that end careless quoting, run commands or break XML: each
// reaches the shell as it is, leaves the watchdog valid bash, and leaves the
// property list naming the installed watchdog.
TEST(LidScriptsTest, FolderNamesStayNames) {
    const testing::ScratchDir scratch;
    const auto file = (scratch.path() / "watchdog.sh").string();
    for (const std::string name : {"O'Brien \"$(x)\" & Co", "back\\slash `x` $HOME",
                                   "'; rm -rf ~; '", "<a>&amp;</a>", "\"\\\"", "tab\there"}) {
        SCOPED_TRACE(name);
        for (const auto& quoted :
             {"'" + insideSingleQuotes(name) + "'", "\"" + insideDoubleQuotes(name) + "\""}) {
            const auto printed = bash({"-c", "printf %s " + quoted});
            EXPECT_EQ(printed.out, name) << printed.err;
        }
        const auto paths = lidPaths("/Users/" + name + "/LidGuard", "/Volumes/" + name);
        std::ofstream(file, std::ios::binary) << watchdogScript(paths);
        const auto check = bash({"-n", file});
        EXPECT_EQ(check.exitCode, 0) << check.err;
        EXPECT_EQ(daemonProgramArguments(daemonPlist(paths)),
                  (std::vector<std::string>{"/bin/bash", paths.installedWatchdog}));
    }
}

}  // namespace
}  // namespace kd
