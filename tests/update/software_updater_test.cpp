#include "update/software_updater.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "update/update_feed.h"
#include "updater_harness.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(SoftwareUpdater, SaysANewerVersionIsAvailableAndNamesTheProduct) {
    UpdaterHarness h;
    const auto server = serveFeed(200, appcastListing("1.4"));
    h.useFeed(*server);
    auto updater = h.updater("1.3");
    std::vector<bool> checking;
    const auto following = updater->checking.subscribe([&](bool on) { checking.push_back(on); });

    updater->checkForUpdates();
    EXPECT_TRUE(updater->checking.get());
    EXPECT_EQ(updater->status.get(), kCheckingForUpdatesText);
    h.scheduler.runUntilIdle();

    EXPECT_EQ(checking, (std::vector<bool>{true, false}));
    EXPECT_EQ(updater->status.get(), "Kelvane Display 1.4 is available");
    EXPECT_EQ(updater->availableVersion.get(), "1.4");
    EXPECT_EQ(updater->lastCheck.get(), h.wallStart);
    EXPECT_EQ(h.defaults.integer(kLastUpdateCheckKey), h.wallStart.time_since_epoch().count());
    const auto requests = server->requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_TRUE(requests[0].head.starts_with("GET /display/v1/appcast.xml?product=display "))
        << requests[0].head;
}

TEST(SoftwareUpdater, EveryAnswerEndsInOneLine) {
    struct Case {
        const char* what;
        int status;
        std::string body;
        std::string line;
    };
    const Case cases[] = {
        {"older", 200, appcastListing("1.2.9"), kUpToDateText},
        {"the same", 200, appcastListing("1.3.0"), kUpToDateText},
        {"malformed", 200, "<rss><channel><item>", kFeedUnreadableText},
        {"a web page", 200, "<!DOCTYPE html><html><body>Welcome</body></html>",
         kFeedUnreadableText},
        {"no items", 200, "<rss><channel><title>Kelvane Display</title></channel></rss>",
         kFeedEmptyText},
        {"missing", 404, "Not Found",
         "The update server answered with error 404 \u2014 try again later."},
    };
    for (const auto& c : cases) {
        UpdaterHarness h;
        const auto server = serveFeed(c.status, c.body);
        h.useFeed(*server);
        auto updater = h.updater("1.3");
        updater->availableVersion.set("1.3.5");  // from an earlier check
        updater->checkForUpdates();
        h.scheduler.runUntilIdle();
        EXPECT_FALSE(updater->checking.get()) << c.what;
        EXPECT_EQ(updater->status.get(), c.line) << c.what;
        EXPECT_EQ(server->requests().size(), 1U) << c.what;
        // Only a feed that was read says whether a newer version exists.
        if (c.line == kUpToDateText) {
            EXPECT_EQ(updater->availableVersion.get(), std::nullopt) << c.what;
        } else {
            EXPECT_EQ(updater->availableVersion.get(), "1.3.5") << c.what;
        }
    }
}

TEST(SoftwareUpdater, AServerThatIsGoneIsUnreachable) {
    UpdaterHarness h;
    std::string address;
    {
        const auto server = serveFeed(200, appcastListing("9"));
        address = server->url("/v1/appcast.xml");
    }
    h.defaults.set(UpdateFeed::urlDefaultsKey, address);
    auto updater = h.updater();
    updater->checkForUpdates();
    h.scheduler.runUntilIdle();
    EXPECT_EQ(updater->status.get(), kFeedUnreachableText);
    EXPECT_FALSE(updater->checking.get());
}

TEST(SoftwareUpdater, AnInvalidStoredFeedFallsBackToTheBuiltInOne) {
    UpdaterHarness h;
    const auto server = serveFeed(200, appcastListing("1.4"));
    h.defaults.set(UpdateFeed::urlDefaultsKey,
                   "127.0.0.1:" + std::to_string(server->port()) + "/v1/appcast.xml");
    auto updater = h.updater();
    updater->checkForUpdates();
    h.scheduler.runUntilIdle();
    EXPECT_TRUE(server->requests().empty());
    EXPECT_EQ(h.http.urls(),
              std::vector<std::string>{std::string(UpdateFeed::builtInURL) + "?product=display"});
    EXPECT_EQ(updater->status.get(), kFeedUnreachableText);
}

TEST(SoftwareUpdater, OneCheckAtATime) {
    UpdaterHarness h;
    const auto server = serveFeed(200, appcastListing("1.4"));
    h.useFeed(*server);
    auto updater = h.updater();
    updater->checkForUpdates();
    updater->checkForUpdates();
    h.scheduler.runUntilIdle();
    EXPECT_EQ(server->requests().size(), 1U);

    // An answer for an updater that is gone is dropped.
    updater->checkForUpdates();
    updater.reset();
    h.scheduler.runUntilIdle();
    EXPECT_EQ(server->requests().size(), 2U);
}

TEST(SoftwareUpdater, LooksByItselfOnceADayWhileAllowed) {
    UpdaterHarness h;
    const auto server = serveFeed(200, appcastListing("1.4"));
    h.useFeed(*server);
    auto updater = h.updater();
    EXPECT_TRUE(updater->automaticallyChecks.get());
    h.scheduler.advance(10min);
    EXPECT_TRUE(server->requests().empty()) << "nothing before start";

    updater->start();
    updater->start();
    h.scheduler.advance(kFirstAutomaticLook);
    EXPECT_EQ(server->requests().size(), 1U);
    h.scheduler.advance(23h);
    EXPECT_EQ(server->requests().size(), 1U);
    h.scheduler.advance(1h);
    EXPECT_EQ(server->requests().size(), 2U);

    // A user's check counts as the day's check.
    h.scheduler.advance(12h);
    updater->checkForUpdates();
    h.scheduler.runUntilIdle();
    h.scheduler.advance(23h);
    EXPECT_EQ(server->requests().size(), 3U);

    updater->automaticallyChecks.set(false);
    EXPECT_EQ(h.defaults.boolValue(kAutomaticallyChecksKey), false);
    h.scheduler.advance(72h);
    EXPECT_EQ(server->requests().size(), 3U);
    EXPECT_EQ(h.updater()->automaticallyChecks.get(), false);
}

TEST(SoftwareUpdater, TheLastCheckCarriesOverToTheNextLaunch) {
    UpdaterHarness h;
    const auto server = serveFeed(200, appcastListing("1.4"));
    h.useFeed(*server);
    h.defaults.set(kLastUpdateCheckKey,
                   static_cast<std::int64_t>((h.wallStart - 2h).time_since_epoch().count()));
    auto updater = h.updater();
    EXPECT_EQ(updater->lastCheck.get(), h.wallStart - 2h);
    updater->start();
    h.scheduler.advance(21h);
    EXPECT_TRUE(server->requests().empty());
    h.scheduler.advance(2h);
    EXPECT_EQ(server->requests().size(), 1U);
}

TEST(SoftwareUpdater, ACheckIsDueWhenTheClockWentBack) {
    const WallTime now{std::chrono::sys_days{std::chrono::year{2026} / 12 / 7}};
    EXPECT_TRUE(automaticCheckDue(std::nullopt, now));
    EXPECT_FALSE(automaticCheckDue(now - 23h, now));
    EXPECT_TRUE(automaticCheckDue(now - 24h, now));
    EXPECT_TRUE(automaticCheckDue(now + 1h, now));
}

}  // namespace
}  // namespace kd
