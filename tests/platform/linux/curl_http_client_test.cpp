#include "platform/linux/curl_http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_http_server.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using Request = LoopbackHttpServer::Request;
using Connection = LoopbackHttpServer::Connection;

std::string answer(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

HttpRequest get(const std::string& url) {
    return HttpRequest{.url = url, .timeout = 20s};
}

TEST(CurlHttpClientTest, ReturnsStatusAndBodyWhateverTheStatus) {
    LoopbackHttpServer server([](const Request& request, const Connection& connection) {
        const bool found = request.head.starts_with("GET /info ");
        connection.send(found ? answer("200 OK", "bplist00...") : answer("404 Not Found", "no"));
    });
    CurlHttpClient http;

    const auto found = http.perform(get(server.url("/info")));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_EQ(found->body, "bplist00...");

    const auto missing = http.perform(get(server.url("/nothing")));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_EQ(missing->body, "no");
}

TEST(CurlHttpClientTest, SendsEachMethodWithItsHeadersAndBody) {
    LoopbackHttpServer server([](const Request&, const Connection& connection) {
        connection.send(answer("200 OK", ""));
    });
    CurlHttpClient http;
    struct Case {
        std::string method;
        std::string body;
    };
    const Case cases[] = {
        {"GET", ""},    {"POST", "{\"a\":1}"}, {"PUT", std::string(5000, 'p')},
        {"DELETE", ""}, {"POST", ""},
    };
    for (const auto& c : cases) {
        HttpRequest request = get(server.url("/r"));
        request.method = c.method;
        request.body = c.body;
        request.headers = {{"Content-Type", "application/json"}, {"X-Token", "t 1"}};
        ASSERT_TRUE(http.perform(request)) << c.method;
        const Request seen = server.requests().back();
        EXPECT_TRUE(seen.head.starts_with(c.method + " /r HTTP/1.1\r\n")) << seen.head;
        EXPECT_NE(seen.head.find("\r\nX-Token: t 1\r\n"), std::string::npos) << seen.head;
        EXPECT_EQ(seen.head.find("Expect:"), std::string::npos) << seen.head;
        EXPECT_EQ(seen.body, c.body) << c.method;
    }
}

TEST(CurlHttpClientTest, BodiesOverTheLimitAndCutAnswersGiveNothing) {
    const std::string big(10 << 20, 'x');
    struct Case {
        const char* what;
        std::string answer;
        std::size_t limit;
        bool returned;
    };
    const Case cases[] = {
        {"at the limit", answer("200 OK", std::string(1000, 'a')), 1000, true},
        {"one byte over", answer("200 OK", std::string(1001, 'a')), 1000, false},
        {"10 MB until the server closes", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big,
         1 << 20, false},
        {"10 MB in chunks",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nA00000\r\n" + big + "\r\n0\r\n\r\n",
         1 << 20, false},
        {"cut short of its length",
         "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(50, 'a'), 1 << 20, false},
        {"cut inside a chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n64\r\nabc",
         1 << 20, false},
        {"cut inside the head", "HTTP/1.1 200 OK\r\nContent-Le", 1 << 20, false},
        {"no HTTP at all", "SSH-2.0-OpenSSH_9.2\r\n", 1 << 20, false},
    };
    for (const auto& c : cases) {
        LoopbackHttpServer server(
            [&](const Request&, const Connection& connection) { connection.send(c.answer); });
        HttpRequest request = get(server.url("/info"));
        request.maxBodyBytes = c.limit;
        EXPECT_EQ(CurlHttpClient().perform(request).has_value(), c.returned) << c.what;
    }
}

TEST(CurlHttpClientTest, AServerThatNeverAnswersIsLeftAtTheTimeout) {
    LoopbackHttpServer server([](const Request&, const Connection& connection) {
        connection.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
        connection.stall();
    });
    HttpRequest request = get(server.url("/info"));
    request.timeout = 300ms;

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CurlHttpClient().perform(request));
    // Proves only that it returned; the timeout itself is libcurl's.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
}

TEST(CurlHttpClientTest, RequestsThatCannotBeSentAsGivenGiveNothing) {
    LoopbackHttpServer server([](const Request&, const Connection& connection) {
        connection.send(answer("200 OK", "secret"));
    });
    const std::string url = server.url("/info");
    const HttpRequest cases[] = {
        {.method = "get", .url = url},
        {.url = url, .headers = {{"X-A", "1\r\nX-Injected: 1"}}},
        {.url = url, .headers = {{"X-A\n", "1"}}},
        {.url = url, .headers = {{"X-A", std::string("1\0", 2)}}},
        {.url = url, .timeout = 0ms},
        {.url = "ftp://127.0.0.1:" + std::to_string(server.port()) + "/info"},
        {.url = "http://"},
        {.url = ""},
    };
    CurlHttpClient http;
    for (const auto& request : cases) {
        EXPECT_FALSE(http.perform(request)) << request.method << ' ' << request.url;
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST(CurlHttpClientTest, ThreadsMayShareOneClient) {
    LoopbackHttpServer server([](const Request& request, const Connection& connection) {
        connection.send(answer("200 OK", request.head.substr(0, request.head.find(' ', 4))));
    });
    CurlHttpClient http;
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i) {
                const std::string path = "/" + std::to_string(t) + "-" + std::to_string(i);
                const auto response = http.perform(get(server.url(path)));
                if (response && response->body == "GET " + path) ++good[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(good, std::vector<int>(4, 5));
}

}  // namespace
}  // namespace kd
