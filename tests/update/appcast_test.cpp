#include "update/appcast.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace kd {
namespace {

std::string feed(const std::string& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Kelvane Display</title>)" +
           items + "</channel></rss>";
}

std::variant<AppcastItem, AppcastProblem> read(const std::string& bytes) {
    return newestAppcastItem(bytes);
}

using Result = std::variant<AppcastItem, AppcastProblem>;

TEST(Appcast, TakesTheNewestItemWhereverItIsListed) {
    const auto bytes = feed(R"(
        <item><title>1.2</title><sparkle:version>1.2</sparkle:version></item>
        <item><title>1.10</title><sparkle:version>1.10</sparkle:version>
              <sparkle:shortVersionString>1.10 (Autumn)</sparkle:shortVersionString></item>
        <item><title>1.9</title><sparkle:version>1.9</sparkle:version></item>)");
    EXPECT_EQ(read(bytes), Result(AppcastItem{"1.10", "1.10 (Autumn)"}));
}

TEST(Appcast, ReadsTheEnclosuresAttributesWhenTheItemHasNoElements) {
    const auto bytes = feed(R"(
        <item><enclosure url="https://updates.kelvane.example/KD-1.4.zip" length="100"
              type="application/octet-stream" sparkle:version="140"
              sparkle:shortVersionString="1.4"/></item>)");
    EXPECT_EQ(read(bytes), Result(AppcastItem{"140", "1.4"}));

    // The item's own element wins over the enclosure.
    const auto both = feed(R"(
        <item><sparkle:version>141</sparkle:version>
              <enclosure url="x" sparkle:version="140" sparkle:shortVersionString="1.4"/></item>)");
    EXPECT_EQ(read(both), Result(AppcastItem{"141", "1.4"}));
}

TEST(Appcast, FollowsTheNamespaceNotThePrefix) {
    const auto bytes = R"(<rss xmlns:s="http://www.andymatuschak.org/xml-namespaces/sparkle">
        <channel><item><s:version> 2.0 </s:version></item></channel></rss>)";
    EXPECT_EQ(read(bytes), Result(AppcastItem{"2.0", "2.0"}));

    // A version in some other namespace is not Sparkle's.
    const auto other = R"(<rss xmlns:o="urn:other">
        <channel><item><o:version>2.0</o:version></item></channel></rss>)";
    EXPECT_EQ(read(other), Result(AppcastProblem::noItems));
}

TEST(Appcast, NamesNoItemsWhenNoneCarriesAVersion) {
    EXPECT_EQ(read(feed("")), Result(AppcastProblem::noItems));
    EXPECT_EQ(read(feed("<item><title>Soon</title></item>"
                        "<item><sparkle:version>next</sparkle:version></item>")),
              Result(AppcastProblem::noItems));
}

TEST(Appcast, RefusesWhatIsNotAnAppcast) {
    const std::string cases[] = {
        "",
        "<html><body>Not found</body></html>",
        "{\"version\": \"1.4\"}",
        feed("<item><sparkle:version>1.4</sparkle:version></item>").substr(0, 200),  // cut off
        "<feed><item><version>1.4</version></item></feed>",
        std::string(kMaxAppcastBytes + 1, ' '),
    };
    for (const auto& bytes : cases) {
        EXPECT_EQ(read(bytes), Result(AppcastProblem::notAppcast)) << bytes.substr(0, 60);
    }
}

TEST(Appcast, ReadsNothingBeyondItsBytes) {
    // An external entity would read a local file; an entity bomb would take
    // the memory of the machine. Neither is expanded: a feed with a DTD is
    // no feed.
    const auto external = R"(<?xml version="1.0"?>
<!DOCTYPE rss [<!ENTITY secret SYSTEM "file:///etc/passwd">]>
<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
<item><sparkle:version>&secret;</sparkle:version></item></channel></rss>)";
    EXPECT_EQ(read(external), Result(AppcastProblem::notAppcast));

    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [<!ENTITY a0 \"1.0\">";
    for (int i = 1; i < 12; ++i) {
        const auto previous = "&a" + std::to_string(i - 1) + ";";
        std::string value;
        for (int j = 0; j < 10; ++j) value += previous;
        bomb += "<!ENTITY a" + std::to_string(i) + " \"" + value + "\">";
    }
    bomb +=
        "]><rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
        "<channel><item><sparkle:version>&a11;</sparkle:version></item></channel></rss>";
    EXPECT_EQ(read(bomb), Result(AppcastProblem::notAppcast));
}

}  // namespace
}  // namespace kd
