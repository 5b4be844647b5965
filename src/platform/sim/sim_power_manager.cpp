#include "platform/sim/sim_power_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/sim/power_stand_ins.h"
#include "platform/sim/scripting/sim_mac_folder.h"
#include "transport/tool_runner.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

using Arguments = std::vector<std::string>;

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), "simulated Mac: " + what);
}

std::string madeFolder() {
    auto pattern = (fs::temp_directory_path() / "kd-sim-mac-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) fail("cannot make its folder");
    return pattern;
}

void writeFile(const fs::path& path, const std::string& text, fs::perms permissions) {
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, permissions);
}

std::string promptWord(ScenarioAdminPrompt answer) {
    switch (answer) {
        case ScenarioAdminPrompt::allow:
            return "allow";
        case ScenarioAdminPrompt::cancel:
            return "cancel";
        case ScenarioAdminPrompt::fail:
            break;
    }
    return "fail";
}

std::string numberOrNothing(std::optional<int> value) {
    return value ? std::to_string(*value) : std::string();
}

std::vector<std::string> splitAtTabs(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        words.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return words;
        start = tab + 1;
    }
}

}  // namespace

SimPowerManager::SimPowerManager(const ScenarioPower& power, SimSystemTools& tools)
    : root_(madeFolder()) {
    try {
        populate(power);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        throw;
    }
    const auto standIn = [folder = root_ + "/" + kSimToolsSubfolder](const std::string& name) {
        return folder + "/" + name;
    };
    tools.answer("/usr/bin/pmset", [pmset = standIn("pmset")](const Arguments& arguments) {
        return runTool(pmset, arguments);
    });
    tools.answer("/usr/sbin/ioreg",
                 [ioreg = standIn("ioreg"),
                  earlier = tools.handler("/usr/sbin/ioreg")](const Arguments& arguments) {
                     if (arguments == Arguments{"-r", "-n", "AppleSmartBattery"}) {
                         return runTool(ioreg, arguments);
                     }
                     return earlier ? earlier(arguments) : std::string();
                 });
}

void SimPowerManager::populate(const ScenarioPower& power) {
    const fs::path root(root_);
    for (const auto* folder :
         {"Library/LaunchDaemons", "tmp", "sim/bin", "sim/state", "sim/daemons"}) {
        fs::create_directories(root / folder);
    }
    for (const auto& standIn : powerStandIns()) {
        writeFile(root / kSimToolsSubfolder / standIn.name, standIn.text,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec);
    }
    const std::ofstream emptyLog(root / "sim/commands.log");
    const auto clock = (root / "sim/clock").string();
    if (::mkfifo(clock.c_str(), 0600) != 0) fail("cannot make its clock");
    clock_.reset(::open(clock.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!clock_.isOpen()) fail("cannot open its clock");

    setState("owner", std::to_string(::getpid()));
    setState("clock", "real");
    setState("sleep-disabled", "0");
    setState("slept", "0");
    setBatteryTemperature(power.batteryTemperature);
    setCpuSpeedLimit(power.cpuSpeedLimit);
    setAdminPrompt(power.adminPrompt);
}

SimPowerManager::~SimPowerManager() {
    const fs::path daemons = fs::path(root_) / "sim/daemons";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(daemons, error)) {
        std::ifstream in(entry.path());
        pid_t pid = 0;
        if (in >> pid && pid > 1) ::kill(-pid, SIGKILL);
    }
    // A daemon being killed may still finish a write into the folder.
    if (fs::remove_all(root_, error) == static_cast<std::uintmax_t>(-1)) {
        fs::remove_all(root_, error);
    }
}

std::pair<std::string, std::string> SimPowerManager::interpreterVariable() const {
    return {kSimMacFolderVariable, root_};
}

std::vector<std::pair<std::string, std::string>> SimPowerManager::shellEnvironment() const {
    const char* path = std::getenv("PATH");
    std::string value = root_ + "/" + kSimToolsSubfolder;
    value += ':';
    value += path != nullptr && *path != '\0' ? path : "/usr/bin:/bin";
    return {{"PATH", value}};
}

std::string SimPowerManager::state(const std::string& name) const {
    std::ifstream in(fs::path(root_) / "sim/state" / name);
    std::string value;
    std::getline(in, value);
    return value;
}

void SimPowerManager::setState(const std::string& name, const std::string& value) const {
    // Replaced whole, so a stand-in reading at the same moment sees the old
    // value or the new one.
    static std::atomic<unsigned> written{0};
    const auto folder = fs::path(root_) / "sim/state";
    const auto temporary = folder / (name + ".new" + std::to_string(++written));
    std::ofstream(temporary, std::ios::binary) << value << '\n';
    fs::rename(temporary, folder / name);
}

void SimPowerManager::setBatteryTemperature(std::optional<int> hundredths) {
    setState("battery-temperature", numberOrNothing(hundredths));
}

void SimPowerManager::setBatteryReading(const std::string& raw) {
    setState("battery-temperature", raw);
}

void SimPowerManager::setCpuSpeedLimit(std::optional<int> percent) {
    setState("cpu-speed-limit", numberOrNothing(percent));
}

void SimPowerManager::setAdminPrompt(ScenarioAdminPrompt answer) {
    setState("admin-prompt", promptWord(answer));
}

bool SimPowerManager::sleepDisabled() const {
    return state("sleep-disabled") == "1";
}

int SimPowerManager::timesSlept() const {
    return std::atoi(state("slept").c_str());
}

std::optional<int> SimPowerManager::daemon(const std::string& label) const {
    std::ifstream in(fs::path(root_) / "sim/daemons" / label);
    int pid = 0;
    if (in >> pid) return pid;
    return std::nullopt;
}

void SimPowerManager::useSteppedClock() {
    setState("clock", "stepped");
}

void SimPowerManager::step() {
    while (::write(clock_.get(), "s", 1) < 0 && errno == EINTR) {
    }
}

SimPowerManager::CommandLog SimPowerManager::commands() const {
    std::ifstream in(fs::path(root_) / "sim/commands.log");
    CommandLog log;
    std::string line;
    while (std::getline(in, line)) log.push_back(splitAtTabs(line));
    return log;
}

bool SimPowerManager::waitForCommands(const std::function<bool(const CommandLog&)>& done,
                                      std::chrono::steady_clock::duration patience) const {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + patience;
    const UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    const auto log = (fs::path(root_) / "sim/commands.log").string();
    const bool watching =
        watch.isOpen() && ::inotify_add_watch(watch.get(), log.c_str(), IN_MODIFY) >= 0;
    while (!done(commands())) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        // Woken by each write to the log; without a watch, looked at every
        // 20 ms instead.
        pollfd poll{watch.get(), POLLIN, 0};
        const auto wait = watching ? std::min<std::int64_t>(left.count(), 1000)
                                   : std::min<std::int64_t>(left.count(), 20);
        if (::poll(&poll, watching ? 1 : 0, static_cast<int>(wait)) > 0) {
            std::array<char, 4096> events{};
            while (::read(watch.get(), events.data(), events.size()) > 0) {
            }
        }
    }
    return true;
}

}  // namespace kd
