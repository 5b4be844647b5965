#include "lid/power_readings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kd {
namespace {

TEST(PowerReadingsTest, SleepDisabledFollowsTheFirstSleepDisabledLine) {
    struct Case {
        std::string output;
        bool disabled;
    };
    const std::vector<Case> cases{
        {"System-wide power settings:\n SleepDisabled\t\t1\nCurrently in use:\n sleep 0\n", true},
        {"System-wide power settings:\n SleepDisabled\t\t0\nCurrently in use:\n sleep 1\n", false},
        {" SleepDisabled    1", true},
        {" SleepDisabled 1 \t ", true},
        {" SleepDisabled\t\t10\n", false},
        {" SleepDisabled\n", false},
        {"Currently in use:\n standby 1\n sleep 1\n", false},
        {"", false},
        // Only the first such line counts.
        {" SleepDisabled 0\n SleepDisabled 1\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sleepDisabledIn(c.output), c.disabled) << c.output;
    }
}

TEST(PowerReadingsTest, BatteryTemperatureIsTheQuotedKeyInHundredths) {
    struct Case {
        std::string output;
        int celsius;
    };
    const std::vector<Case> cases{
        {"+-o AppleSmartBattery  <class AppleSmartBattery>\n    {\n"
         "      \"VirtualTemperature\" = 3300\n      \"Temperature\" = 3099\n    }\n",
         30},
        {"      \"Temperature\" = 6000\n", 60},
        {"      \"Temperature\" = 99\n", 0},
        {"      \"Temperature\" = -250\n", 2},
        {"      \"Temperature\" 3000\n", 0},
        {"      \"Temperature\" = \n", 0},
        {"      Temperature = 3000\n", 0},
        {"      \"Temperature\" = 99999999999999\n", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(batteryTempCIn(c.output), c.celsius) << c.output;
    }
}

}  // namespace
}  // namespace kd
