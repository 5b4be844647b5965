#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/in_process_notification_center.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

class NotificationCenterTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    std::optional<InProcessNotificationCenter> center{std::in_place, scheduler};
    std::vector<std::string> heard;

    NotificationCenter::Observation listen(const std::string& name, const std::string& who) {
        return center->observe(name, [this, who] {
            EXPECT_TRUE(scheduler.onMainThread());
            heard.push_back(who);
        });
    }
};

TEST_F(NotificationCenterTest, APostReachesItsNameObserversInOrderOnTheMainQueue) {
    const auto first = listen("KelvaneDisplay.accountChanged", "first");
    const auto other = listen("openSettings", "other");
    const auto second = listen("KelvaneDisplay.accountChanged", "second");
    center->post("KelvaneDisplay.accountChanged");
    EXPECT_TRUE(heard.empty());  // never inside post
    scheduler.runUntilIdle();
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
    center->post("KelvaneDisplay.accountChanged");
    center->post("openSettings");
    scheduler.runUntilIdle();
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second", "first", "second", "other"}));
}

TEST_F(NotificationCenterTest, ObserversAreThoseOfTheMomentOfDelivery) {
    auto early = listen("n", "early");
    center->post("n");
    early.reset();
    const auto late = listen("n", "late");
    scheduler.runUntilIdle();
    EXPECT_EQ(heard, std::vector<std::string>{"late"});
}

TEST_F(NotificationCenterTest, AnObserverMayEndItselfAndOthersWhileCalled) {
    NotificationCenter::Observation second;
    NotificationCenter::Observation first = center->observe("n", [&] {
        heard.push_back("first");
        first.reset();
        second.reset();
    });
    second = listen("n", "second");
    center->post("n");
    center->post("n");
    scheduler.runUntilIdle();
    EXPECT_EQ(heard, std::vector<std::string>{"first"});
}

TEST_F(NotificationCenterTest, PostsFromOtherThreadsArriveOnTheMainQueue) {
    const auto observation = listen("n", "heard");
    std::thread poster([this] { center->post("n"); });
    poster.join();
    scheduler.runUntilIdle();
    EXPECT_EQ(heard, std::vector<std::string>{"heard"});
}

TEST_F(NotificationCenterTest, ACentreGoneDropsItsPostsAndOutlivingObservationsEndQuietly) {
    auto observation = listen("n", "heard");
    center->post("n");
    center.reset();
    scheduler.runUntilIdle();
    EXPECT_TRUE(heard.empty());
    observation.reset();
}

}  // namespace
}  // namespace kd
