#include "server/http_request.h"

#include <gtest/gtest.h>

#include <string>

namespace kd {
namespace {

constexpr std::string_view kRouteToken = "k7q2m9x4pz";

std::optional<HttpRoute> routeOf(const std::string& path) {
    return routeRequest("GET " + path + " HTTP/1.1\r\nHost: example\r\n\r\n", kRouteToken);
}

TEST(HttpRequestTest, PathsUnderTheTokenPickTheirAnswer) {
    struct Case {
        std::string path;
        HttpRoute route;
    };
    const Case cases[] = {
        {"/k7q2m9x4pz", HttpRoute::page},
        {"/k7q2m9x4pz/", HttpRoute::page},
        {"/k7q2m9x4pz?from=qr", HttpRoute::page},
        {"/k7q2m9x4pz/index.html", HttpRoute::page},
        {"/k7q2m9x4pz/fram", HttpRoute::page},
        {"/k7q2m9x4pz/frame.jpg?12.1712345678901", HttpRoute::frame},
        {"/k7q2m9x4pz/frame", HttpRoute::frame},
        {"/k7q2m9x4pz/stream", HttpRoute::stream},
        {"/k7q2m9x4pz/stream.mjpg", HttpRoute::stream},
        {"/", HttpRoute::notFound},
        {"/k7q2m9x4p", HttpRoute::notFound},
        {"/k7q2m9x4pzz", HttpRoute::notFound},
        {"/k7q2m9x4pa", HttpRoute::notFound},
        {"/a7q2m9x4pz", HttpRoute::notFound},
        {"/K7Q2M9X4PZ", HttpRoute::notFound},
        {"k7q2m9x4pz", HttpRoute::notFound},
        {"//k7q2m9x4pz", HttpRoute::notFound},
        {"/frame.jpg", HttpRoute::notFound},
        {"/k7q2m9x4pz.frame", HttpRoute::notFound},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(routeOf(c.path), c.route) << c.path;
    }
}

TEST(HttpRequestTest, PathIsTheSecondPieceBetweenSpaces) {
    EXPECT_EQ(requestPath("GET /k7q2m9x4pz HTTP/1.1"), "/k7q2m9x4pz");
    EXPECT_EQ(requestPath("  GET    /a   b "), "/a");
    EXPECT_EQ(requestPath("GET /a"), "/a");
    EXPECT_EQ(requestPath("GET"), "/");
    EXPECT_EQ(requestPath("   "), "/");
    EXPECT_EQ(requestPath(""), "/");
    EXPECT_EQ(requestPath(std::string(8192, 'A')), "/");
    // Only the request line's spaces count, so a tab or line break stays in the path.
    EXPECT_EQ(requestPath("GET\t/x y"), "y");
}

TEST(HttpRequestTest, ARequestWithoutASpaceAsksForTheRoot) {
    EXPECT_EQ(routeRequest(std::string(8192, 'A'), kRouteToken), HttpRoute::notFound);
    EXPECT_EQ(routeRequest("GET", ""), HttpRoute::page);
}

TEST(HttpRequestTest, NothingOrBytesThatAreNotUtf8AreDroppedUnanswered) {
    EXPECT_EQ(routeRequest("", kRouteToken), std::nullopt);
    EXPECT_EQ(routeRequest("GET /k7q2m9x4pz\xff HTTP/1.1\r\n\r\n", kRouteToken), std::nullopt);
    EXPECT_EQ(routeRequest("GET /k7q2m9x4pz HTTP/1.1\r\nX: \xc3\r\n\r\n", kRouteToken), std::nullopt);
    EXPECT_EQ(routeRequest("GET /k7q2m9x4pz/ HTTP/1.1\r\nX: Gäste 🙂\r\n\r\n", kRouteToken),
              HttpRoute::page);
}

TEST(HttpRequestTest, Utf8ValidationRefusesWhatDecodersMustRefuse) {
    EXPECT_TRUE(isWellFormedUtf8("plain ascii"));
    EXPECT_TRUE(isWellFormedUtf8("Гостиная · ✕ 🙂"));
    EXPECT_TRUE(isWellFormedUtf8("\xf4\x8f\xbf\xbf"));       // U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\xc0\xaf"));              // overlong "/"
    EXPECT_FALSE(isWellFormedUtf8("\xe0\x80\xaf"));          // overlong "/"
    EXPECT_FALSE(isWellFormedUtf8("\xed\xa0\x80"));          // a surrogate
    EXPECT_FALSE(isWellFormedUtf8("\xf4\x90\x80\x80"));      // above U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\xe2\x9c"));              // cut short
    EXPECT_FALSE(isWellFormedUtf8("\x80"));                  // continuation first
    EXPECT_FALSE(isWellFormedUtf8("\xf8\x88\x80\x80\x80"));  // five-byte form
    EXPECT_TRUE(isWellFormedUtf8(std::string_view("a\0b", 3)));
}

TEST(HttpRequestTest, TokenMatchesOnlyWhenEveryCharacterDoes) {
    const std::string path = "/k7q2m9x4pz";
    EXPECT_TRUE(isUnderToken(path, kRouteToken));
    for (std::size_t i = 0; i < path.size(); ++i) {
        std::string wrong = path;
        wrong[i] = wrong[i] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(isUnderToken(wrong, kRouteToken)) << wrong;
    }
    EXPECT_TRUE(isUnderToken("/", ""));
    EXPECT_TRUE(isUnderToken("/?x", ""));
    EXPECT_FALSE(isUnderToken("", kRouteToken));
}

}  // namespace
}  // namespace kd
