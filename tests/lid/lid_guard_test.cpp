// The lid guard's flows on virtual time, with the Mac's tools answering
// from the test and a recording stand-in for the privileged runner.

#include "lid/lid_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "display/sim_preferences.h"
#include "lid/lid_fixtures.h"
#include "lid/lid_scripts.h"
#include "lid/text_file.h"
#include "platform/sim/virtual_scheduler.h"
#include "transport/tool_runner.h"

namespace kd {
namespace {

// pmset and ioreg as the test sets them, counting how often and from which
// thread they are asked.
class ScriptedTools : public SystemTools {
  public:
    explicit ScriptedTools(const Scheduler& scheduler) : scheduler_(scheduler) {}

    std::string run(const std::string& executable, const std::vector<std::string>& arguments,
                    std::chrono::steady_clock::duration timeout) const override {
        ++calls;
        if (scheduler_.onMainThread()) ++callsOnMain;
        lastTimeout = timeout;
        if (executable == "/usr/bin/pmset" && arguments == std::vector<std::string>{"-g"}) {
            return std::string("System-wide power settings:\n SleepDisabled\t\t") +
                   (sleepDisabled ? "1" : "0") + "\n";
        }
        if (executable == "/usr/sbin/ioreg" &&
            arguments == std::vector<std::string>{"-r", "-n", "AppleSmartBattery"}) {
            return "    \"Temperature\" = " + std::to_string(battery) + "\n";
        }
        return {};
    }
    std::optional<std::string> kernelValue(const std::string&) const override { return {}; }
    std::string localHostName() const override { return {}; }

    bool sleepDisabled = false;
    int battery = 3140;
    mutable int calls = 0;
    mutable int callsOnMain = 0;
    mutable std::chrono::steady_clock::duration lastTimeout{};

  private:
    const Scheduler& scheduler_;
};

class LidGuardTest : public ::testing::Test {
  protected:
    LidGuardTest() { guard_ = makeGuard(); }

    std::unique_ptr<LidGuard> makeGuard() {
        return std::make_unique<LidGuard>(
            LidGuard::Ports{scheduler_, tools_, defaults_,
                            [this](const std::string& command) {
                                commands_.push_back(command);
                                onAdmin();
                                return answer_;
                            }},
            lidPaths((home_.path() / "LidGuard").string(), (home_.path() / "mac").string()));
    }

    VirtualScheduler scheduler_;
    ScriptedTools tools_{scheduler_};
    SimPreferences defaults_;
    testing::ScratchDir home_;
    std::vector<std::string> commands_;
    std::function<void()> onAdmin = [] {};
    AdminResult answer_{true, ""};
    std::unique_ptr<LidGuard> guard_;
};

TEST_F(LidGuardTest, ARequestShowsProgressThenHowItEnded) {
    struct Case {
        bool on;
        AdminResult result;
        std::string progress;
        std::string status;
    };
    const std::string turningOn = "Turning on \u2014 macOS asks for your password once\u2026";
    const std::string cancelled = "Cancelled \u2014 this needs the administrator password";
    const std::vector<Case> cases{
        {true, {true, ""}, turningOn, ""},
        {false, {true, ""}, "Turning off\u2026", ""},
        {true, {false, ""}, turningOn, cancelled},
        {true, {false, "0:80: execution error: User canceled. (-128)"}, turningOn, cancelled},
        {false,
         {false, "could not launch osascript"},
         "Turning off\u2026",
         "Didn't work: could not launch osascript"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        answer_ = c.result;
        guard_->setAwake(c.on);
        EXPECT_TRUE(guard_->busy().get());
        EXPECT_EQ(guard_->status().get(), c.progress);
        scheduler_.runUntilIdle();
        EXPECT_FALSE(guard_->busy().get());
        EXPECT_EQ(guard_->status().get(), c.status);
    }
    const auto paths = guard_->paths();
    EXPECT_EQ(commands_.front(), enableCommand(paths));
    EXPECT_EQ(commands_[1], disableCommand(paths));
}

TEST_F(LidGuardTest, ARequestWhileOneRunsIsIgnored) {
    guard_->setAwake(true);
    guard_->setAwake(false);
    guard_->sleepNow();
    scheduler_.runUntilIdle();
    EXPECT_EQ(commands_, std::vector<std::string>{enableCommand(guard_->paths())});

    guard_->sleepNow();
    guard_->setAwake(true);
    scheduler_.runUntilIdle();
    EXPECT_EQ(commands_.back(), sleepNowCommand(guard_->paths()));
    EXPECT_EQ(commands_.size(), 2u);
}

TEST_F(LidGuardTest, TurningOnWritesItsFilesBeforeAskingForThePassword) {
    defaults_.set(LidGuard::limitKey, PrefValue(std::int64_t{58}));
    guard_ = makeGuard();
    const auto& paths = guard_->paths();
    onAdmin = [&] {
        EXPECT_EQ(testing::fileText(paths.configFile), "58\n");
        EXPECT_EQ(testing::fileText(paths.watchdogFile), watchdogScript(paths));
        EXPECT_EQ(testing::fileText(paths.plistSrc), daemonPlist(paths));
    };
    guard_->setAwake(true);
    scheduler_.runUntilIdle();
    EXPECT_EQ(commands_.size(), 1u);
}

TEST_F(LidGuardTest, SleepNowEndsQuietlyWhateverTheOutcome) {
    answer_ = {false, "0:80: execution error: User canceled. (-128)"};
    guard_->sleepNow();
    EXPECT_EQ(guard_->status().get(), "Going to sleep\u2026");
    scheduler_.runUntilIdle();
    EXPECT_FALSE(guard_->busy().get());
    EXPECT_EQ(guard_->status().get(), "");
}

TEST_F(LidGuardTest, ReadingsHappenOffTheMainQueueAndArriveOnIt) {
    bool publishedOnMain = false;
    const auto watching =
        guard_->tempC().subscribe([&](const int&) { publishedOnMain = scheduler_.onMainThread(); });
    guard_->refresh();
    EXPECT_EQ(tools_.calls, 0) << "nothing is read on the caller's turn";
    scheduler_.runUntilIdle();
    EXPECT_EQ(tools_.calls, 2);
    EXPECT_EQ(tools_.callsOnMain, 0);
    EXPECT_EQ(tools_.lastTimeout, kDefaultToolTimeout);
    EXPECT_EQ(guard_->tempC().get(), 31);
    EXPECT_TRUE(publishedOnMain);
}

TEST_F(LidGuardTest, TheWatchdogsReadingCountsOnlyWhileTheGuardIsOn) {
    struct Case {
        bool sleepDisabled;
        std::optional<std::string> tempFile;
        int tempC;
    };
    const std::vector<Case> cases{
        {true, " 47\n", 47},      {true, "-3", -3},    {true, "47 C", 31},        {true, "", 31},
        {true, std::nullopt, 31}, {false, "47\n", 31}, {true, "99999999999", 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tempFile.value_or("(none)"));
        tools_.sleepDisabled = c.sleepDisabled;
        std::filesystem::remove(guard_->paths().tempFile);
        if (c.tempFile) writeTextFile(guard_->paths().tempFile, *c.tempFile);
        guard_->refresh();
        scheduler_.runUntilIdle();
        EXPECT_EQ(guard_->awake().get(), c.sleepDisabled);
        EXPECT_EQ(guard_->tempC().get(), c.tempC);
    }
}

TEST_F(LidGuardTest, ARefreshAskedForWhileOneRunsReadsOnceMoreAfterIt) {
    guard_->refresh();
    guard_->refresh();
    guard_->refresh();
    scheduler_.runUntilIdle();
    EXPECT_EQ(tools_.calls, 4) << "two readings of pmset and ioreg";
}

TEST_F(LidGuardTest, TheLimitIsStoredAndReachesTheWatchdogAtOnce) {
    struct Case {
        std::optional<PrefValue> stored;
        int limit;
    };
    const std::vector<Case> cases{
        {std::nullopt, 52},    {PrefValue(std::int64_t{45}), 45},      {PrefValue("45"), 52},
        {PrefValue(45.0), 52}, {PrefValue(std::int64_t{1} << 40), 52},
    };
    for (const auto& c : cases) {
        defaults_.remove(LidGuard::limitKey);
        if (c.stored) defaults_.set(LidGuard::limitKey, *c.stored);
        EXPECT_EQ(makeGuard()->limit().get(), c.limit);
    }

    guard_->setLimit(58);
    EXPECT_EQ(defaults_.integer(LidGuard::limitKey), 58);
    EXPECT_EQ(testing::fileText(guard_->paths().configFile), "58\n");
    EXPECT_EQ(guard_->limit().get(), 58);
}

TEST_F(LidGuardTest, ResultsComingBackAfterTheGuardIsGoneAreDropped) {
    guard_->setAwake(true);
    guard_->refresh();
    guard_.reset();
    scheduler_.runUntilIdle();
    EXPECT_EQ(commands_.size(), 1u);
}

}  // namespace
}  // namespace kd
