// The watchdog and the privileged command lines, run for real by bash
// against the simulated Mac's stand-in tools, on its stepped clock.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "lid/lid_fixtures.h"
#include "lid/lid_paths.h"
#include "lid/lid_scripts.h"
#include "lid/text_file.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using testing::Command;
using testing::countOf;
using testing::fileText;
using testing::firstIndex;
using testing::kPatience;
using testing::waitForCount;

const Command kPassEnd{"sleep", "15"};

class WatchdogTest : public ::testing::Test {
  protected:
    explicit WatchdogTest(ScenarioPower power = {})
        : mac_(std::make_unique<SimPowerManager>(power, tools_)),
          paths_(lidPaths((home_.path() / "LidGuard").string(), mac_->root())) {
        mac_->useSteppedClock();
        writeTextFile(paths_.configFile, "52\n");
        writeTextFile(paths_.watchdogFile, watchdogScript(paths_));
        writeTextFile(paths_.plistSrc, daemonPlist(paths_));
    }

    ChildRun run(const std::string& command) { return testing::runPrivileged(*mac_, command); }

    void turnOn() {
        const auto enabled = run(enableCommand(paths_));
        ASSERT_EQ(enabled.exitCode, 0) << enabled.err;
        // The log, not the setting: a watchdog that fires at once may have
        // put sleep back already.
        ASSERT_GE(firstIndex(log(), {"pmset", "-a", "disablesleep", "1"}), 0);
        ASSERT_TRUE(mac_->daemon(kLidGuardLabel));
    }

    // Lets the watchdog finish `passes` passes; each ends in its 15-second wait.
    void awaitPasses(std::ptrdiff_t passes) {
        ASSERT_TRUE(waitForCount(*mac_, kPassEnd, passes)) << "the watchdog stopped short";
    }

    SimPowerManager::CommandLog log() const { return mac_->commands(); }

    SimSystemTools tools_{defaultScenario().mac};
    testing::ScratchDir home_;
    std::unique_ptr<SimPowerManager> mac_;
    LidPaths paths_;
};

TEST_F(WatchdogTest, AnOddBatteryReadingCountsAsNoneAndTheWatchKeepsGoing) {
    mac_->setBatteryReading("30.5");
    turnOn();
    awaitPasses(1);
    EXPECT_EQ(fileText(paths_.tempFile), "30\n");
    mac_->setBatteryTemperature(6000);
    mac_->step();
    ASSERT_TRUE(waitForCount(*mac_, {"pmset", "-a", "disablesleep", "0"}, 1))
        << "the watchdog still fires on the next pass";
}

struct Heat {
    std::optional<int> battery;  // hundredths of a degree
    std::optional<int> cpuSpeedLimit;
    bool fires;
};

ScenarioPower powerFor(const Heat& heat) {
    ScenarioPower power;
    power.batteryTemperature = heat.battery;
    power.cpuSpeedLimit = heat.cpuSpeedLimit;
    return power;
}

class WatchdogHeatTest : public WatchdogTest, public ::testing::WithParamInterface<Heat> {
  protected:
    WatchdogHeatTest() : WatchdogTest(powerFor(GetParam())) {}
};

TEST_P(WatchdogHeatTest, FiresAtTheLimitOrWhenThrottledHard) {
    turnOn();
    // Either it fires on its first pass or it waits for the next.
    ASSERT_TRUE(mac_->waitForCommands(
        [](const auto& log) {
            return countOf(log, kPassEnd) > 0 || countOf(log, {"pmset", "sleepnow"}) > 0 ||
                   countOf(log, {"sleep", "2"}) > 0;
        },
        kPatience));
    EXPECT_EQ(firstIndex(log(), {"pmset", "-a", "disablesleep", "0"}) >= 0, GetParam().fires);
}

INSTANTIATE_TEST_SUITE_P(Readings, WatchdogHeatTest,
                         ::testing::Values(Heat{5199, std::nullopt, false},
                                           Heat{5200, std::nullopt, true}, Heat{3000, 56, false},
                                           Heat{3000, 55, true},
                                           // No battery reading counts as 30 °C.
                                           Heat{std::nullopt, std::nullopt, false}));

TEST_F(WatchdogTest, FiringBringsSleepBackAndSleepsTheMacBeforeItsDaemonGoes) {
    // Hot only after its first pass: a watchdog that fired at once could
    // race the switch-on's own "disablesleep 1".
    turnOn();
    const auto pid = *mac_->daemon(kLidGuardLabel);
    awaitPasses(1);
    mac_->setBatteryTemperature(6050);
    mac_->step();
    ASSERT_TRUE(waitForCount(*mac_, {"sleep", "2"}, 1));
    mac_->step();
    ASSERT_TRUE(testing::endsWithin(pid, kPatience)) << "the boot-out ends the watchdog";

    const auto commands = log();
    const auto fired = firstIndex(commands, {"pmset", "-a", "disablesleep", "0"});
    ASSERT_GE(fired, 0);
    const std::vector<Command> inOrder{
        {"pmset", "-a", "disablesleep", "0"},
        {"rm", "-f", paths_.stateFile},
        {"rm", "-f", paths_.plistDst, paths_.installedWatchdog},
        {"sleep", "2"},
        {"pmset", "sleepnow"},
        {"launchctl", "bootout", std::string("system/") + kLidGuardLabel},
    };
    // The notification goes its own way, in the background.
    std::vector<Command> seen;
    for (auto i = static_cast<std::size_t>(fired); i < commands.size(); ++i) {
        const auto& command = commands[i];
        const bool notifying =
            command[0] == "osascript" || (command[0] == "launchctl" && command.at(1) == "asuser");
        if (!notifying) seen.push_back(command);
    }
    EXPECT_EQ(seen, inOrder);
    const Command notification{
        "osascript", "-e",
        "display notification \"Too hot (battery 60\u00b0C, limit 52\u00b0C). Normal sleep is "
        "back \u2014 sleeping now.\" with title \"Kelvane Display\" sound name \"Basso\""};
    EXPECT_GE(firstIndex(commands, notification), 0) << "posted to the console user";

    EXPECT_FALSE(mac_->sleepDisabled());
    EXPECT_EQ(mac_->timesSlept(), 1);
    EXPECT_FALSE(mac_->daemon(kLidGuardLabel));
    for (const auto& gone : {paths_.stateFile, paths_.plistDst, paths_.installedWatchdog}) {
        EXPECT_FALSE(fs::exists(gone)) << gone;
    }
}

TEST_F(WatchdogTest, LinksPlantedAtItsFilesAreReplacedNeverFollowed) {
    const auto victim = (home_.path() / "victim").string();
    writeTextFile(victim, "precious\n");
    for (const auto& planted : {paths_.stateFile, paths_.tempFile, paths_.logFile}) {
        fs::create_symlink(victim, planted);
    }
    turnOn();
    awaitPasses(1);
    EXPECT_EQ(fileText(victim), "precious\n");
    for (const auto& file : {paths_.stateFile, paths_.tempFile, paths_.logFile}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file))) << file;
    }
    EXPECT_EQ(fileText(paths_.tempFile), "30\n");
}

TEST_F(WatchdogTest, TurningOnAgainReplacesTheDaemonInsteadOfAddingOne) {
    turnOn();
    awaitPasses(1);
    const auto stale = *mac_->daemon(kLidGuardLabel);
    EXPECT_EQ(fileText(paths_.stateFile), std::to_string(stale) + "\n");
    turnOn();
    const auto fresh = *mac_->daemon(kLidGuardLabel);
    EXPECT_NE(fresh, stale);
    EXPECT_TRUE(testing::endsWithin(stale, kPatience));
    EXPECT_EQ(countOf(log(), {"launchctl", "bootstrap", "system", paths_.plistDst}), 2);
}

TEST_F(WatchdogTest, SleepStaysOnWhenTheWatchdogCannotBeInstalled) {
    for (const auto& missing : {paths_.watchdogFile, paths_.plistSrc}) {
        SCOPED_TRACE(missing);
        const auto kept = fileText(missing);
        fs::remove(missing);
        const auto enabled = run(enableCommand(paths_));
        EXPECT_NE(enabled.exitCode, 0);
        EXPECT_NE(enabled.err.find(missing), std::string::npos) << enabled.err;
        EXPECT_FALSE(mac_->sleepDisabled());
        EXPECT_FALSE(mac_->daemon(kLidGuardLabel));
        writeTextFile(missing, kept);
    }
    EXPECT_EQ(countOf(log(), {"pmset", "-a", "disablesleep", "1"}), 0);
}

TEST_F(WatchdogTest, TurningOffBringsSleepBackAndRemovesTheDaemon) {
    turnOn();
    awaitPasses(1);
    const auto pid = *mac_->daemon(kLidGuardLabel);
    const auto disabled = run(disableCommand(paths_));
    EXPECT_EQ(disabled.exitCode, 0) << disabled.err;
    EXPECT_FALSE(mac_->sleepDisabled());
    EXPECT_FALSE(mac_->daemon(kLidGuardLabel));
    EXPECT_TRUE(testing::endsWithin(pid, kPatience));
    for (const auto& gone : {paths_.stateFile, paths_.plistDst, paths_.installedWatchdog}) {
        EXPECT_FALSE(fs::exists(gone)) << gone;
    }
    EXPECT_EQ(mac_->timesSlept(), 0);

    EXPECT_EQ(run(sleepNowCommand(paths_)).exitCode, 0);
    EXPECT_EQ(mac_->timesSlept(), 1);
}

}  // namespace
}  // namespace kd
