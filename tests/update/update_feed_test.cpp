#include "update/update_feed.h"

#include <gtest/gtest.h>

#include <string>

#include "display/sim_preferences.h"

namespace kd {
namespace {

TEST(UpdateFeed, AStoredAddressIsUsedOnlyWhenValid) {
    SimPreferences defaults;
    EXPECT_EQ(UpdateFeed::url(defaults), UpdateFeed::builtInURL);
    EXPECT_TRUE(std::string(UpdateFeed::builtInURL).ends_with(".example/display/v1/appcast.xml"));

    const std::string invalid[] = {"",
                                   "not an address",
                                   "updates.example.org/v1/appcast.xml",  // no scheme
                                   "/v1/appcast.xml",
                                   "ftp://updates.example.org/v1/appcast.xml",
                                   "file:///etc/passwd",
                                   "http:///v1/appcast.xml",
                                   "https://exa mple.org/v1/appcast.xml"};
    for (const auto& text : invalid) {
        defaults.set(UpdateFeed::urlDefaultsKey, text);
        EXPECT_EQ(UpdateFeed::url(defaults), UpdateFeed::builtInURL) << text;
    }
    defaults.set(UpdateFeed::urlDefaultsKey, 42);  // not even a text
    EXPECT_EQ(UpdateFeed::url(defaults), UpdateFeed::builtInURL);

    defaults.set(UpdateFeed::urlDefaultsKey, "http://127.0.0.1:8080/beta/appcast.xml");
    EXPECT_EQ(UpdateFeed::url(defaults), "http://127.0.0.1:8080/beta/appcast.xml");
}

TEST(UpdateFeed, EveryRequestNamesTheProductOnce) {
    struct Case {
        std::string feed;
        std::string request;
    };
    const Case cases[] = {
        {"https://u.example/v1/appcast.xml", "https://u.example/v1/appcast.xml?product=display"},
        {"https://u.example/v1/appcast.xml?channel=beta",
         "https://u.example/v1/appcast.xml?channel=beta&product=display"},
        {"https://u.example/a.xml?product=other&x=1&Product=keep",
         "https://u.example/a.xml?x=1&Product=keep&product=display"},
        {"https://u.example/a.xml?%70roduct=other", "https://u.example/a.xml?product=display"},
        {"https://u.example/a.xml?&&", "https://u.example/a.xml?product=display"},
        {"https://u.example/a.xml#notes", "https://u.example/a.xml?product=display#notes"},
    };
    for (const auto& [feed, request] : cases) {
        EXPECT_EQ(UpdateFeed::requestURL(feed), request) << feed;
    }
    EXPECT_EQ(UpdateFeed::requestURL("nonsense"), std::nullopt);
}

}  // namespace
}  // namespace kd
