#pragma once

// What the viewer server's tests share: a blocking loopback client, a clock
// the test moves by hand, and a record of the viewer counts reported. Every
// wait is bounded only to prove that nothing hangs.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/unique_fd.h"
#include "server/mjpeg_server.h"

namespace kd::test {

// Room for a sanitizer build on two busy cores.
inline constexpr auto kNoHang = std::chrono::seconds(30);

class LoopbackClient {
  public:
    struct Answer {
        std::string head;  // status line and headers, up to the blank line
        std::string body;
    };

    // Connects to 127.0.0.1:`port`; a `receiveBuffer` above 0 shrinks the
    // socket's receive buffer first, for clients meant to fall behind.
    explicit LoopbackClient(std::uint16_t port, int receiveBuffer = 0) {
        fd_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (receiveBuffer > 0) {
            ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        if (::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot connect to the server");
        }
    }

    // False once the server has closed the connection.
    bool write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool get(std::string_view path) {
        return write("GET " + std::string(path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }

    // The next `count` bytes; fewer when the connection closes or nothing
    // comes for the no-hang bound.
    std::string read(std::size_t count) {
        while (buffered_.size() < count && fill()) {
        }
        return take(std::min(count, buffered_.size()));
    }

    // Everything up to and including `marker`; nothing when it never comes.
    std::optional<std::string> readThrough(std::string_view marker) {
        std::size_t at;
        while ((at = buffered_.find(marker)) == std::string::npos) {
            if (!fill()) return std::nullopt;
        }
        return take(at + marker.size());
    }

    // One answer with a Content-Length body.
    std::optional<Answer> readAnswer() {
        auto head = readThrough("\r\n\r\n");
        if (!head) return std::nullopt;
        const std::string field = "Content-Length: ";
        const std::size_t at = head->find(field);
        if (at == std::string::npos) return std::nullopt;
        const std::size_t length = std::stoul(head->substr(at + field.size()));
        std::string body = read(length);
        if (body.size() != length) return std::nullopt;
        return Answer{*head, std::move(body)};
    }

    // Whether the server closes the connection; what it still sends on the
    // way is kept for `received`.
    bool closedByServer() {
        while (fill()) {
        }
        return closed_;
    }

    const std::string& received() const { return buffered_; }

  private:
    // Reads what has arrived; false once closed or after the no-hang bound.
    bool fill() {
        if (closed_) return false;
        pollfd readable{fd_.get(), POLLIN, 0};
        const int waitMs = static_cast<int>(std::chrono::milliseconds(kNoHang).count());
        if (::poll(&readable, 1, waitMs) <= 0) return false;
        char chunk[65536];
        const ssize_t n = ::recv(fd_.get(), chunk, sizeof chunk, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    std::string take(std::size_t count) {
        std::string out = buffered_.substr(0, count);
        buffered_.erase(0, count);
        return out;
    }

    UniqueFd fd_;
    std::string buffered_;
    bool closed_ = false;
};

// The time frames and pollers are judged by, moved only by the test.
class ManualClock {
  public:
    MJPEGServer::Clock::time_point now() const {
        return MJPEGServer::Clock::time_point(std::chrono::hours(1)) +
               std::chrono::milliseconds(elapsedMs_.load());
    }
    void advance(std::chrono::milliseconds by) { elapsedMs_ += by.count(); }

  private:
    std::atomic<std::int64_t> elapsedMs_{0};
};

// The viewer counts the server reports, in order.
class ViewerCounts {
  public:
    std::function<void(int)> recorder() {
        return [this](int count) {
            std::lock_guard lock(mutex_);
            counts_.push_back(count);
            changed_.notify_all();
        };
    }

    // Whether `count` is reported (again) after the reports seen so far by
    // earlier waits.
    bool waitFor(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kNoHang, [&] {
            while (seen_ < counts_.size()) {
                if (counts_[seen_++] == count) return true;
            }
            return false;
        });
    }

    std::vector<int> all() const {
        std::lock_guard lock(mutex_);
        return counts_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> counts_;
    std::size_t seen_ = 0;
};

inline MJPEGServer::Frame frameOf(std::size_t size, char fill) {
    return std::make_shared<const std::vector<std::uint8_t>>(size, static_cast<std::uint8_t>(fill));
}

inline std::string textOf(const MJPEGServer::Frame& frame) {
    return std::string(frame->begin(), frame->end());
}

inline constexpr const char* kToken = "k7q2m9x4pz";

// A server on a free loopback port with the test's clock, recording the
// viewer counts it reports.
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override { start({}); }

    void start(MJPEGServer::Options options) {
        options.now = [this] { return clock.now(); };
        server = std::make_unique<MJPEGServer>(std::move(options));
        server->setOnClientChange(counts.recorder());
        ASSERT_FALSE(server->start(0, kToken));
        ASSERT_NE(server->port(), 0);
    }

    // Hands a frame over and waits until the server's queue has stored it.
    void sendAndSettle(const MJPEGServer::Frame& frame) {
        server->send(frame);
        server->clientCount();
    }

    LoopbackClient client() { return LoopbackClient(server->port()); }

    // A stream client whose stream header has arrived, so it counts.
    std::unique_ptr<LoopbackClient> streamClient(int receiveBuffer = 0) {
        auto stream = std::make_unique<LoopbackClient>(server->port(), receiveBuffer);
        stream->get(std::string("/") + kToken + "/stream");
        EXPECT_TRUE(stream->readThrough("\r\n\r\n"));
        return stream;
    }

    ManualClock clock;
    ViewerCounts counts;
    std::unique_ptr<MJPEGServer> server;
};

}  // namespace kd::test
