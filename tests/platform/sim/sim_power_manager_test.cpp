#include "platform/sim/sim_power_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "transport/child_probe.h"
#include "transport/child_process.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Arguments = std::vector<std::string>;

class SimPowerManagerTest : public ::testing::Test {
  protected:
    // A daemon labelled "test.daemon" that sleeps for five minutes.
    std::string writeDaemon() const {
        const auto plist = power_->root() + "/Library/LaunchDaemons/test.plist";
        std::ofstream(plist) << "<plist><dict><key>Label</key><string>test.daemon</string>\n"
                                "<key>ProgramArguments</key>\n<array><string>/bin/sleep</string>"
                                "<string>300</string></array></dict></plist>\n";
        return plist;
    }

    ChildRun shell(const std::string& command) {
        return runChild("/bin/bash", {"-c", command}, 30s, ErrorStream::capture,
                        power_->shellEnvironment());
    }

    SimSystemTools tools_{defaultScenario().mac};
    std::unique_ptr<SimPowerManager> power_ =
        std::make_unique<SimPowerManager>(ScenarioPower{}, tools_);
};

TEST_F(SimPowerManagerTest, TheBatteryAnswersBesideTheRegistrysOtherQuestions) {
    const Arguments battery{"-r", "-n", "AppleSmartBattery"};
    EXPECT_NE(tools_.run("/usr/sbin/ioreg", battery, 5s).find("\"Temperature\" = 3000\n"),
              std::string::npos);
    power_->setBatteryTemperature(std::nullopt);
    EXPECT_EQ(tools_.run("/usr/sbin/ioreg", battery, 5s), "");
    EXPECT_NE(tools_.run("/usr/sbin/ioreg", {"-ar", "-d1", "-k", "product-name"}, 5s)
                  .find("product-name"),
              std::string::npos);

    EXPECT_EQ(tools_.run("/usr/bin/pmset", {"-g", "therm"}, 5s).find("CPU_Speed_Limit"),
              std::string::npos);
    power_->setCpuSpeedLimit(40);
    EXPECT_NE(tools_.run("/usr/bin/pmset", {"-g", "therm"}, 5s).find("CPU_Speed_Limit \t= 40\n"),
              std::string::npos);
}

TEST_F(SimPowerManagerTest, ALabelIsLoadedOnceUntilItIsBootedOut) {
    const auto plist = writeDaemon();
    EXPECT_EQ(shell("launchctl bootstrap system '" + plist + "'").exitCode, 0);
    const auto pid = power_->daemon("test.daemon");
    ASSERT_TRUE(pid);
    const auto again = shell("launchctl bootstrap system '" + plist + "'");
    EXPECT_EQ(again.exitCode, 5);
    EXPECT_EQ(again.err, "Bootstrap failed: 5: Input/output error\n");
    EXPECT_EQ(shell("launchctl bootout system/test.daemon").exitCode, 0);
    EXPECT_TRUE(testing::endsWithin(*pid, 30s));
    EXPECT_EQ(shell("launchctl bootout system/test.daemon").exitCode, 3);
    EXPECT_EQ(shell("launchctl bootstrap system /nowhere.plist").exitCode, 2);
}

TEST_F(SimPowerManagerTest, ItsDaemonsAndItsFolderGoWithIt) {
    ASSERT_EQ(shell("launchctl load -w '" + writeDaemon() + "'").exitCode, 0);
    const auto pid = power_->daemon("test.daemon");
    ASSERT_TRUE(pid);
    const auto root = power_->root();
    power_.reset();
    EXPECT_TRUE(testing::endsWithin(*pid, 30s));
    EXPECT_FALSE(fs::exists(root));
}

}  // namespace
}  // namespace kd
