// The browser share on the simulated Mac, on virtual time, serving real
// loopback viewers.

#include "virtual/browser_share.h"

#include <gtest/gtest.h>

#include "display/sim_preferences.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"
#include "server/server_harness.h"
#include "support/sim_platform.h"
#include "virtual/share_settings.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::LoopbackClient;

constexpr DisplayID kBuiltIn = 1;

class BrowserShareTest : public ::testing::Test {
  protected:
    BrowserShare& share() {
        if (!share_) share_ = std::make_unique<BrowserShare>(platform, 0);
        return *share_;
    }
    std::string path(const std::string& rest = "") { return "/" + share().token() + rest; }

    // Runs the capture on virtual time until the server has a frame to
    // give, or the no-hang bound passes.
    std::optional<LoopbackClient::Answer> firstFrame(LoopbackClient& viewer) {
        const auto giveUp = std::chrono::steady_clock::now() + test::kNoHang;
        while (std::chrono::steady_clock::now() < giveUp) {
            scheduler.advance(100ms);
            if (!viewer.get(path("/frame"))) return std::nullopt;
            auto answer = viewer.readAnswer();
            if (!answer) return std::nullopt;
            if (answer->head.starts_with("HTTP/1.1 200")) return answer;
        }
        return std::nullopt;
    }

    VirtualScheduler scheduler;
    SimPreferences defaults;
    SimMac mac{defaultScenario(), scheduler};
    testing::MachinePorts machine;
    Platform platform = testing::simPlatform(scheduler, mac, defaults, machine, "");

  private:
    std::unique_ptr<BrowserShare> share_;
};

TEST_F(BrowserShareTest, ServesNothingUntilStartedThenTheDisplayAsJpeg) {
    EXPECT_FALSE(share().running.get());
    EXPECT_EQ(share().viewers.get(), 0);
    EXPECT_EQ(share().token(), share().token());

    share().start(kBuiltIn);
    EXPECT_TRUE(share().running.get());
    EXPECT_EQ(share().status.get(), "");
    ASSERT_NE(share().port(), 0);
    LoopbackClient viewer(share().port());
    const auto frame = firstFrame(viewer);
    ASSERT_TRUE(frame);
    EXPECT_NE(frame->head.find("Content-Type: image/jpeg"), std::string::npos) << frame->head;
    EXPECT_TRUE(frame->body.starts_with("\xff\xd8")) << "not a JPEG";

    for (const auto& url : share().urls()) {
        EXPECT_TRUE(url.starts_with("http://")) << url;
        EXPECT_TRUE(url.ends_with(":" + std::to_string(share().port()) + "/" + share().token()));
    }
}

TEST_F(BrowserShareTest, CountsViewersOnTheMainQueueAndForgetsThemOnStop) {
    share().start(kBuiltIn);
    LoopbackClient poller(share().port());
    ASSERT_TRUE(firstFrame(poller));
    LoopbackClient watcher(share().port());
    ASSERT_TRUE(watcher.get(path("/stream")));
    ASSERT_TRUE(watcher.readThrough("\r\n\r\n"));
    const auto giveUp = std::chrono::steady_clock::now() + test::kNoHang;
    while (share().viewers.get() < 2 && std::chrono::steady_clock::now() < giveUp) {
        scheduler.advance(50ms);
    }
    EXPECT_EQ(share().viewers.get(), 2);

    share().stop();
    scheduler.runUntilIdle();
    EXPECT_FALSE(share().running.get());
    EXPECT_EQ(share().viewers.get(), 0);
    EXPECT_EQ(share().sharedDisplay(), kBuiltIn);
    EXPECT_TRUE(watcher.closedByServer());
}

TEST_F(BrowserShareTest, WithoutScreenRecordingItAsksAndDoesNotListen) {
    mac.screenCapturePermission().setAllowed(false);
    share().start(kBuiltIn);
    EXPECT_FALSE(share().running.get());
    EXPECT_TRUE(share().needsPermission.get());
    EXPECT_EQ(share().status.get(), kShareNeedsPermissionText);
    EXPECT_EQ(mac.screenCapturePermission().requestsShown(), 1);

    mac.screenCapturePermission().setAllowed(true);
    share().start(kBuiltIn);
    EXPECT_TRUE(share().running.get());
    EXPECT_FALSE(share().needsPermission.get());

    share().openPrivacySettings();
    EXPECT_EQ(mac.urlOpener().opened(), std::vector<std::string>{kScreenRecordingSettingsAddress});
}

TEST_F(BrowserShareTest, APortHeldByAnotherProgramIsSaidAndNothingRuns) {
    MJPEGServer other;
    ASSERT_FALSE(other.start(0, "someoneelse"));
    BrowserShare blocked(platform, other.port());
    blocked.start(kBuiltIn);
    EXPECT_FALSE(blocked.running.get());
    EXPECT_EQ(blocked.status.get(),
              "Port " + std::to_string(other.port()) +
                  " is already used by another app \u2014 quit it and try again");
}

TEST_F(BrowserShareTest, ACaptureFailureStopsTheShareWithItsMessage) {
    std::vector<bool> runningWhenTold;
    const auto told = share().status.subscribe(
        [&](const std::string&) { runningWhenTold.push_back(share().running.get()); });
    share().start(4242);  // no such display
    scheduler.runUntilIdle();
    EXPECT_EQ(runningWhenTold, std::vector<bool>{false});
    EXPECT_FALSE(share().running.get());
    EXPECT_EQ(share().status.get(), "That display is not capturable");
}

TEST_F(BrowserShareTest, NewRateOrWidthRestartsOnTheSameAddressWhileQualityDoesNot) {
    share().start(kBuiltIn);
    const auto port = share().port();
    const auto token = share().token();
    LoopbackClient before(port);
    ASSERT_TRUE(before.get(path("/stream")));
    ASSERT_TRUE(before.readThrough("\r\n\r\n"));

    share().quality.set(0.5);
    EXPECT_EQ(defaults.number(kShareQualityKey), 0.5);
    scheduler.runUntilIdle();
    ASSERT_TRUE(before.get(path("/frame")));  // still the same connection
    ASSERT_TRUE(before.readThrough("\r\n"));

    share().fps.set(60);
    EXPECT_EQ(defaults.integer(kShareFpsKey), 60);
    EXPECT_TRUE(before.closedByServer()) << "the restart closes old connections";
    EXPECT_TRUE(share().running.get());
    EXPECT_EQ(share().port(), port);
    EXPECT_EQ(share().token(), token);
    LoopbackClient after(port);
    EXPECT_TRUE(firstFrame(after));

    share().maxWidth.set(800);
    EXPECT_EQ(defaults.integer(kShareWidthKey), 800);
    EXPECT_TRUE(share().running.get());
}

TEST_F(BrowserShareTest, AnErrorFromAStreamerAlreadyReplacedIsIgnored) {
    share().start(4242);  // its error is on its way to the main queue
    share().start(kBuiltIn);
    scheduler.runUntilIdle();
    EXPECT_TRUE(share().running.get());
    EXPECT_EQ(share().status.get(), "");
}

}  // namespace
}  // namespace kd
