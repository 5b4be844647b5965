// What strangers and broken clients on the network can throw at the server:
// it stays up, keeps serving the others and lets go of every dropped
// connection.

#include <dirent.h>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "server/mjpeg_server.h"
#include "server/server_harness.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::LoopbackClient;

class MJPEGServerBadInputTest : public test::ServerTest {
  protected:
    // Whether a fresh connection gets the page; a few tries, since the
    // server notices hang-ups a moment after they happen.
    bool pageIsServed() {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            LoopbackClient browser = client();
            if (browser.get("/k7q2m9x4pz") && browser.readAnswer()) return true;
        }
        return false;
    }
};

int openDescriptors() {
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir)) ++count;
        ::closedir(dir);
    }
    return count;
}

TEST_F(MJPEGServerBadInputTest, GarbageIsDroppedOrRefusedAndTheServerCarriesOn) {
    std::mt19937 random(9);
    std::uniform_int_distribution<int> length(1, 3000);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 40; ++i) {
        std::string garbage(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : garbage) c = static_cast<char>(byte(random));
        auto stranger = client();
        stranger.write(garbage);
        EXPECT_TRUE(stranger.closedByServer()) << "garbage " << i;
    }

    auto notUtf8 = client();
    notUtf8.write("GET /k7q2m9x4pz/frame\xff\xfe HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(notUtf8.closedByServer());
    EXPECT_EQ(notUtf8.received(), "");

    // However much of it one receive takes, it is answered 404 or dropped.
    auto noSpace = client();
    noSpace.write(std::string(8192, 'A'));
    EXPECT_TRUE(noSpace.closedByServer());
    EXPECT_TRUE(noSpace.received().empty() || noSpace.received().starts_with("HTTP/1.1 404"));

    EXPECT_TRUE(pageIsServed());
}

TEST_F(MJPEGServerBadInputTest, ConnectionsThatNeverAskAreClosedAfterThePatience) {
    MJPEGServer::Options options;
    options.requestPatience = 200ms;
    start(options);
    std::vector<std::unique_ptr<LoopbackClient>> idle;
    for (int i = 0; i < 10; ++i) idle.push_back(std::make_unique<LoopbackClient>(server->port()));
    auto keptAlive = client();
    ASSERT_TRUE(keptAlive.get("/k7q2m9x4pz"));
    ASSERT_TRUE(keptAlive.readAnswer());

    for (auto& connection : idle) EXPECT_TRUE(connection->closedByServer());
    EXPECT_TRUE(keptAlive.closedByServer());
    EXPECT_TRUE(pageIsServed());
}

TEST_F(MJPEGServerBadInputTest, ConnectionsBeyondTheCapAreRefusedAtOnce) {
    // Patience far beyond the no-hang bound: only the cap can close the
    // fifth, and the kernel hands connections over in the order they came.
    MJPEGServer::Options options;
    options.requestPatience = 1h;
    options.maxConnections = 4;
    start(options);
    std::vector<std::unique_ptr<LoopbackClient>> held;
    for (int i = 0; i < 4; ++i) held.push_back(std::make_unique<LoopbackClient>(server->port()));

    auto refused = client();
    EXPECT_TRUE(refused.closedByServer());
    EXPECT_EQ(refused.received(), "");

    ASSERT_TRUE(held.front()->get("/k7q2m9x4pz"));
    EXPECT_TRUE(held.front()->readAnswer());

    held.clear();
    EXPECT_TRUE(pageIsServed());
}

TEST_F(MJPEGServerBadInputTest, AbandonedConnectionsLeaveNothingOpen) {
    const int before = openDescriptors();
    for (int i = 0; i < 2000; ++i) {
        LoopbackClient abandoned = client();
        if (i % 2) abandoned.write("GET /k7q2m9");
    }
    EXPECT_TRUE(pageIsServed());
    for (int i = 0; i < 100000 && openDescriptors() > before; ++i) server->clientCount();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(server->clientCount(), 0);
}

TEST_F(MJPEGServerBadInputTest, AStreamClientThatNeverReadsHoldsUpNobody) {
    auto reader = streamClient();
    auto stalled = streamClient(4096);
    EXPECT_EQ(server->clientCount(), 2);

    // Far more than the kernel buffers of the stalled connection hold.
    const std::size_t frameSize = 256 * 1024;
    for (int i = 0; i < 60; ++i) {
        const auto frame = test::frameOf(frameSize, static_cast<char>('A' + i % 26));
        server->send(frame);
        ASSERT_TRUE(reader->readThrough("\r\n\r\n")) << "frame " << i;
        ASSERT_EQ(reader->read(frameSize + 2), test::textOf(frame) + "\r\n") << "frame " << i;
    }
    EXPECT_EQ(server->clientCount(), 2);
    // The frames the stalled client missed still reach pollers.
    auto poller = client();
    ASSERT_TRUE(poller.get("/k7q2m9x4pz/frame.jpg?0.1"));
    const auto latest = poller.readAnswer();
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->body, std::string(frameSize, static_cast<char>('A' + 59 % 26)));

    server->stop();
    EXPECT_EQ(counts.all().back(), 0);
    EXPECT_TRUE(reader->closedByServer());

    // A new start owes nothing to the stalled client of the last one.
    ASSERT_FALSE(server->start(server->port(), test::kToken));
    auto next = streamClient();
    const auto frame = test::frameOf(10, 'n');
    server->send(frame);
    ASSERT_TRUE(next->readThrough("\r\n\r\n"));
    EXPECT_EQ(next->read(12), test::textOf(frame) + "\r\n");
}

}  // namespace
}  // namespace kd
