#include "server/mjpeg_server.h"

#include <gtest/gtest.h>

#include <asio.hpp>
#include <memory>
#include <string>

#include "server/server_harness.h"
#include "support/golden.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::kToken;
using test::LoopbackClient;

using MJPEGServerTest = test::ServerTest;

std::string expectedHead(std::string_view status, std::string_view type, std::size_t length,
                         std::string_view connection) {
    return "HTTP/1.1 " + std::string(status) + "\r\nContent-Type: " + std::string(type) +
           "\r\nContent-Length: " + std::to_string(length) +
           "\r\nCache-Control: no-store\r\nConnection: " + std::string(connection) + "\r\n\r\n";
}

TEST_F(MJPEGServerTest, ServesTheViewerPageAndKeepsTheConnection) {
    auto browser = client();
    for (const std::string path : {"/k7q2m9x4pz", "/k7q2m9x4pz?from=qr", "/k7q2m9x4pz/x"}) {
        ASSERT_TRUE(browser.get(path));
        const auto answer = browser.readAnswer();
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->head, expectedHead("200 OK", "text/html; charset=utf-8",
                                             answer->body.size(), "keep-alive"));
        EXPECT_EQ(answer->body, testing::golden("server/golden/viewer_page.html"));
    }
}

TEST_F(MJPEGServerTest, PathsOutsideTheTokenAreRefusedAndClosed) {
    for (const std::string path : {"/", "/k7q2m9x4p", "/k7q2m9x4pzz", "/k7q2m9x4pa/frame"}) {
        auto prober = client();
        ASSERT_TRUE(prober.get(path));
        EXPECT_TRUE(prober.closedByServer()) << path;
        EXPECT_EQ(prober.received(),
                  expectedHead("404 Not Found", "text/plain", 9, "close") + "Not found")
            << path;
    }
}

TEST_F(MJPEGServerTest, FrameIsServedForFourSecondsAfterItWasSent) {
    auto poller = client();
    const std::string framePath = "/k7q2m9x4pz/frame.jpg?0.1712345678901";
    const std::string noFrame =
        expectedHead("503 Service Unavailable", "text/plain", 12, "keep-alive") + "no frame yet";

    ASSERT_TRUE(poller.get(framePath));
    EXPECT_EQ(poller.read(noFrame.size()), noFrame);

    const auto frame = test::frameOf(5000, 'a');
    sendAndSettle(frame);
    clock.advance(3999ms);
    ASSERT_TRUE(poller.get(framePath));
    const auto answer = poller.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->head, expectedHead("200 OK", "image/jpeg", 5000, "keep-alive"));
    EXPECT_EQ(answer->body, test::textOf(frame));

    clock.advance(1ms);
    ASSERT_TRUE(poller.get(framePath));
    EXPECT_EQ(poller.read(noFrame.size()), noFrame);

    const auto newer = test::frameOf(10, 'b');
    sendAndSettle(newer);
    ASSERT_TRUE(poller.get(framePath));
    const auto fresh = poller.readAnswer();
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->body, test::textOf(newer));
}

TEST_F(MJPEGServerTest, StreamSendsItsHeaderThenOnePartPerFrame) {
    auto stream = std::make_unique<LoopbackClient>(server->port());
    ASSERT_TRUE(stream->get("/k7q2m9x4pz/stream"));
    const std::string head =
        "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; "
        "boundary=quillmarshframe\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(stream->read(head.size()), head);
    EXPECT_TRUE(counts.waitFor(1));

    for (const char fill : {'x', 'y'}) {
        const auto frame = test::frameOf(3, fill);
        server->send(frame);
        const std::string part =
            "--quillmarshframe\r\nContent-Type: image/jpeg\r\n"
            "Content-Length: 3\r\n\r\n" +
            test::textOf(frame) + "\r\n";
        EXPECT_EQ(stream->read(part.size()), part);
    }

    stream.reset();
    // The hang-up shows at a later write.
    for (int i = 0; i < 1000 && server->clientCount() > 0; ++i) server->send(test::frameOf(3, 'z'));
    EXPECT_TRUE(counts.waitFor(0));
}

TEST_F(MJPEGServerTest, PollersCountForFourSecondsBesideStreams) {
    auto first = streamClient();
    auto second = streamClient();
    EXPECT_EQ(server->clientCount(), 2);

    sendAndSettle(test::frameOf(100, 'p'));
    auto poller = client();
    for (int poll = 0; poll < 3; ++poll) {
        ASSERT_TRUE(poller.get("/k7q2m9x4pz/frame.jpg?0.1"));
        ASSERT_TRUE(poller.readAnswer());
    }
    EXPECT_TRUE(counts.waitFor(3));
    // Each count is told once however often the page polls.
    EXPECT_EQ(counts.all(), (std::vector<int>{0, 1, 2, 3}));

    clock.advance(2s);
    EXPECT_EQ(server->clientCount(), 3);
    clock.advance(3s);
    EXPECT_EQ(server->clientCount(), 2);
}

TEST_F(MJPEGServerTest, StopClosesEveryConnectionAndReportsNoViewers) {
    auto stream = streamClient();
    sendAndSettle(test::frameOf(100, 's'));
    auto poller = client();
    ASSERT_TRUE(poller.get("/k7q2m9x4pz/frame.jpg?0.1"));
    ASSERT_TRUE(poller.readAnswer());
    EXPECT_TRUE(counts.waitFor(2));

    server->stop();
    EXPECT_EQ(counts.all().back(), 0);
    EXPECT_EQ(server->clientCount(), 0);
    EXPECT_TRUE(stream->closedByServer());
    EXPECT_TRUE(poller.closedByServer());
    EXPECT_THROW(client(), std::runtime_error);
}

TEST_F(MJPEGServerTest, RestartForgetsTheFrame) {
    sendAndSettle(test::frameOf(100, 'r'));
    ASSERT_FALSE(server->start(server->port(), kToken));
    auto poller = client();
    ASSERT_TRUE(poller.get("/k7q2m9x4pz/frame.jpg?0.1"));
    const auto answer = poller.readAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "no frame yet");
}

TEST_F(MJPEGServerTest, StartOnATakenPortFailsAndStaysStopped) {
    MJPEGServer other;
    EXPECT_EQ(other.start(server->port(), kToken), asio::error::address_in_use);
    EXPECT_EQ(other.clientCount(), 0);
    other.send(test::frameOf(10, 'f'));
    EXPECT_EQ(other.port(), 0);
}

}  // namespace
}  // namespace kd
