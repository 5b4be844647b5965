// The lid guard on the simulated Mac, end to end: its privileged commands go
// through the stand-in interpreter's password prompt, its daemon really runs
// the watchdog, and the guard reads the power manager through the Mac's tools.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "display/sim_preferences.h"
#include "lid/lid_fixtures.h"
#include "lid/lid_guard.h"
#include "lid/lid_scripts.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "transport/child_probe.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using testing::Command;
using testing::waitForCount;

class LidGuardOnTheSimulatedMacTest : public ::testing::Test {
  protected:
    explicit LidGuardOnTheSimulatedMacTest(const std::string& homeName = "LidGuard")
        : guard_({scheduler_, mac_.tools(), defaults_,
                  [interpreter =
                       ScriptInterpreter{KD_STAND_IN_INTERPRETER, {power().interpreterVariable()}}](
                      const std::string& command) { return runAdmin(interpreter, command); }},
                 lidPaths((home_.path() / homeName).string(), power().root())) {
        power().useSteppedClock();
    }

    SimPowerManager& power() { return mac_.powerManager(); }

    void refresh() {
        guard_.refresh();
        scheduler_.runUntilIdle();
    }

    void turn(bool on) {
        guard_.setAwake(on);
        scheduler_.runUntilIdle();
    }

    testing::ScratchDir home_;
    VirtualScheduler scheduler_;
    SimMac mac_{defaultScenario(), scheduler_};
    SimPreferences defaults_;
    LidGuard guard_;
};

TEST_F(LidGuardOnTheSimulatedMacTest, RunsUntilTheWatchdogPutsAHotMacToSleep) {
    refresh();
    EXPECT_FALSE(guard_.awake().get());
    EXPECT_EQ(guard_.tempC().get(), 30) << "the battery's own reading while off";

    turn(true);
    EXPECT_EQ(guard_.status().get(), "");
    ASSERT_TRUE(power().daemon(LidGuard::label));
    ASSERT_TRUE(waitForCount(power(), {"sleep", "15"}, 1));
    power().setBatteryTemperature(4000);
    refresh();
    EXPECT_TRUE(guard_.awake().get());
    EXPECT_EQ(guard_.tempC().get(), 30) << "the watchdog's reading while on";

    const auto watchdog = *power().daemon(LidGuard::label);
    power().setBatteryTemperature(5600);
    power().step();
    ASSERT_TRUE(waitForCount(power(), {"sleep", "2"}, 1));
    power().step();
    ASSERT_TRUE(testing::endsWithin(watchdog, testing::kPatience));
    refresh();
    EXPECT_FALSE(guard_.awake().get());
    EXPECT_EQ(guard_.tempC().get(), 56);
    EXPECT_EQ(power().timesSlept(), 1);
    EXPECT_FALSE(power().daemon(LidGuard::label));
}

TEST_F(LidGuardOnTheSimulatedMacTest, FilesThatCannotBeWrittenAreReportedAndSleepStaysOn) {
    std::ofstream(guard_.paths().home) << "a file where the folder belongs";
    turn(true);
    const auto status = guard_.status().get();
    EXPECT_TRUE(status.starts_with("Didn't work: ")) << status;
    EXPECT_NE(status.find("watchdog.sh"), std::string::npos) << status;
    EXPECT_FALSE(guard_.awake().get());
    EXPECT_FALSE(power().sleepDisabled());
}

class HostileHomeTest : public LidGuardOnTheSimulatedMacTest {
  protected:
    HostileHomeTest() : LidGuardOnTheSimulatedMacTest("O'Brien \"$(x)\" & Co") {}
};

TEST_F(HostileHomeTest, AHomeFolderNamedLikeCommandsStaysAName) {
    // A command `x` that leaves a mark if anything ever runs it.
    const auto mark = home_.path() / "x ran";
    const auto x = fs::path(power().root()) / "sim/bin/x";
    std::ofstream(x) << "#!/bin/bash\ntouch '" << mark.string() << "'\n";
    fs::permissions(x, fs::perms::owner_all);

    turn(true);
    ASSERT_EQ(guard_.status().get(), "");
    EXPECT_EQ(testing::fileText(guard_.paths().installedWatchdog), watchdogScript(guard_.paths()));
    ASSERT_TRUE(waitForCount(power(), {"sleep", "15"}, 1));
    guard_.setLimit(30);
    power().step();
    ASSERT_TRUE(waitForCount(power(), {"sleep", "2"}, 1)) << "30.50 °C reaches the new limit";
    power().step();
    ASSERT_TRUE(waitForCount(power(), {"pmset", "sleepnow"}, 1));
    EXPECT_FALSE(fs::exists(mark));
}

}  // namespace
}  // namespace kd
