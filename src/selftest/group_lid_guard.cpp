#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lid/daemon_arguments.h"
#include "lid/lid_paths.h"
#include "lid/lid_scripts.h"
#include "lid/quoting.h"
#include "lid/text_file.h"
#include "selftest/groups.h"
#include "transport/child_process.h"

namespace kd::groups {

namespace {

namespace fs = std::filesystem;

// The Mac's tools as the watchdog finds them in this check: a battery at
// 60 °C, a processor at full speed, launchd ending the script at its
// boot-out, and every call written down. The first wait of a pass lowers
// the limit in the configuration file from 99 to 50, so only a watchdog
// that reads the file again fires on its second pass. Nothing here touches
// this machine's power settings.
constexpr const char* kRecordingTools = R"sh(
trace() { printf '%s\n' "$*" >> "$LIDGUARD_TRACE"; }
pmset() { trace "pmset $*"; [ "$*" = "-g therm" ] && printf 'CPU_Speed_Limit \t= 100\n'; return 0; }
ioreg() { printf '    "Temperature" = 6000\n'; }
stat() { echo 501; }
osascript() { trace "osascript"; }
launchctl() {
  trace "launchctl $*"
  case "$1" in
    asuser) shift 2; "$@" ;;
    bootout) kill -TERM $$ ;;
  esac
  return 0
}
sleep() { trace "sleep $*"; [ "$1" = 15 ] && echo 50 > "$LIDGUARD_CONFIG"; return 0; }
)sh";

// A folder of its own under the temporary folder, gone when the group ends.
class ScratchFolder {
  public:
    ScratchFolder() {
        auto pattern = (fs::temp_directory_path() / "kd-self-test-lid-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::ptrdiff_t positionOf(const std::vector<std::string>& trace, const std::string& line) {
    const auto found = std::find(trace.begin(), trace.end(), line);
    return found == trace.end() ? -1 : found - trace.begin();
}

struct WatchdogRun {
    std::vector<std::string> trace;
    std::optional<std::string> temperature;
};

// Installs the watchdog as the enable command would, into a Mac folder of
// the scratch folder, and runs it with the recording tools.
WatchdogRun runWatchdog(const ScratchFolder& scratch, const LidPaths& paths) {
    const auto tools = scratch.path() + "/tools.sh";
    const auto trace = scratch.path() + "/trace";
    writeTextFile(tools, kRecordingTools);
    writeTextFile(trace, "");
    writeTextFile(paths.configFile, "99\n");
    writeTextFile(paths.installedWatchdog, watchdogScript(paths));
    writeTextFile(paths.plistDst, daemonPlist(paths));
    fs::create_directories(fs::path(paths.stateFile).parent_path());
    runChild(
        "/bin/bash", {paths.installedWatchdog}, std::chrono::seconds(20), ErrorStream::discard,
        {{"BASH_ENV", tools}, {"LIDGUARD_TRACE", trace}, {"LIDGUARD_CONFIG", paths.configFile}});
    return {lines(readTextFile(trace).value_or("")), readTextFile(paths.tempFile)};
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

}  // namespace

void testLidGuard(SelfTest& t, SelfTestContext& /*context*/) {
    const ScratchFolder scratch;
    // A home folder whose name would break out of careless quoting.
    const auto paths =
        lidPaths(scratch.path() + "/O'Brien \"$(x)\" & Co/LidGuard", scratch.path() + "/mac");
    const auto run = runWatchdog(scratch, paths);
    const auto& trace = run.trace;
    const auto firing = positionOf(trace, "pmset -a disablesleep 0");
    const auto sleeping = positionOf(trace, "pmset sleepnow");
    const auto bootout =
        positionOf(trace, std::string("launchctl bootout system/") + kLidGuardLabel);
    const auto waits = std::count(trace.begin(), trace.end(), "sleep 15");

    t.check("lid watchdog reads its limit from the config on every pass",
            firing >= 0 && waits == 1 && run.temperature == "60\n", [&] {
                if (firing < 0) return std::string("it never fired");
                return "it fired after " + std::to_string(waits + 1) + " passes";
            });
    t.check("lid watchdog restores normal sleep before it sleeps the Mac",
            firing >= 0 && sleeping > firing);
    t.check("lid watchdog restores sleep and then sleeps",
            sleeping >= 0 && positionOf(trace, "pmset -a disablesleep 1") < 0,
            [] { return "the Mac never went to sleep"; });
    t.check("lid watchdog removes its own daemon when it fires",
            bootout >= 0 && !exists(paths.plistDst) && !exists(paths.installedWatchdog) &&
                !exists(paths.stateFile));

    const auto arguments = daemonProgramArguments(daemonPlist(paths));
    t.check("lid daemon plist parses", arguments.has_value());
    const auto enable = enableCommand(paths);
    const auto quoted = [](const std::string& path) {
        return "'" + insideSingleQuotes(path) + "'";
    };
    t.check("lid daemon runs the watchdog the app wrote",
            arguments == std::vector<std::string>{"/bin/bash", paths.installedWatchdog} &&
                enable.find("cp " + quoted(paths.watchdogFile) + " " +
                            quoted(paths.installedWatchdog)) != std::string::npos);

    const auto disable = disableCommand(paths);
    const std::string dropDaemon = std::string("launchctl bootout system/") + kLidGuardLabel;
    t.check("turning off restores sleep and drops the daemon",
            disable.find("pmset -a disablesleep 0") != std::string::npos &&
                disable.find(dropDaemon) != std::string::npos &&
                disable.find("rm -f " + quoted(paths.plistDst)) != std::string::npos);
    const auto bootstrap = enable.find("launchctl bootstrap system");
    t.check("turning on never stacks a second daemon on a stale one",
            bootstrap != std::string::npos && enable.find(dropDaemon) < bootstrap);
}

}  // namespace kd::groups
