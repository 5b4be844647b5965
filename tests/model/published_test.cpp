#include "model/published.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kd {
namespace {

TEST(PublishedTest, SubscribersHearOnlyRealChangesInTheOrderTheyCame) {
    Published<std::string> status;
    std::vector<std::string> heard;
    const auto first = status.subscribe([&](const std::string& v) { heard.push_back("1:" + v); });
    const auto second = status.subscribe([&](const std::string& v) { heard.push_back("2:" + v); });
    status.set("");
    status.set("Turning off");
    status.set("Turning off");
    status.set("");
    EXPECT_EQ(heard, (std::vector<std::string>{"1:Turning off", "2:Turning off", "1:", "2:"}));
    EXPECT_EQ(status.get(), "");
}

TEST(PublishedTest, ASubscriptionEndsWithItsHandleEvenAfterThePublishedIsGone) {
    auto value = std::make_unique<Published<int>>(1);
    int calls = 0;
    auto kept = value->subscribe([&](const int&) { ++calls; });
    {
        const auto dropped = value->subscribe([&](const int&) { calls += 100; });
    }
    value->set(2);
    auto moved = std::move(kept);
    value->set(3);
    EXPECT_EQ(calls, 2);
    moved.reset();
    value->set(4);
    EXPECT_EQ(calls, 2);

    auto outliving = value->subscribe([&](const int&) { ++calls; });
    value.reset();
    outliving.reset();  // nothing left to leave
}

TEST(PublishedTest, SubscribersMayComeAndGoWhileBeingTold) {
    Published<int> value;
    std::vector<std::string> heard;
    std::optional<Published<int>::Subscription> later;
    Published<int>::Subscription second;
    auto first = value.subscribe([&](const int& v) {
        heard.push_back("first " + std::to_string(v));
        second.reset();
        if (!later)
            later = value.subscribe(
                [&](const int& w) { heard.push_back("later " + std::to_string(w)); });
    });
    second = value.subscribe([&](const int& v) { heard.push_back("second " + std::to_string(v)); });
    value.set(1);
    value.set(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"first 1", "first 2", "later 2"}));

    Published<int> selfish;
    Published<int>::Subscription own;
    own = selfish.subscribe([&](const int&) { own.reset(); });
    selfish.set(1);
    selfish.set(2);
}

}  // namespace
}  // namespace kd
