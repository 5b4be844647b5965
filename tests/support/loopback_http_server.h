#pragma once

// A small HTTP server on 127.0.0.1 for tests of HTTP clients: one thread
// serving one connection at a time, answering each request with whatever
// the test's handler writes to the socket. Every wait is bounded by the
// server's stop, which its destructor triggers.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"

namespace kd::test {

class LoopbackHttpServer {
  public:
    struct Request {
        std::string head;  // request line and headers
        std::string body;
    };

    class Connection {
      public:
        Connection(int fd, int stopFd) : fd_(fd), stopFd_(stopFd) {}
        // Writes all of `bytes`; false once the peer has gone.
        bool send(const std::string& bytes) const {
            std::size_t sent = 0;
            while (sent < bytes.size()) {
                const ssize_t n =
                    ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) return false;
                sent += static_cast<std::size_t>(n);
            }
            return true;
        }
        // Holds the connection open, answering nothing, until the client
        // hangs up or the server stops.
        void stall() const {
            pollfd fds[] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
            char byte;
            while (::poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
                if (::recv(fd_, &byte, 1, 0) <= 0) return;
            }
        }

        // Makes the close after the handler a reset instead of an orderly end.
        void resetOnClose() const {
            const linger abrupt{1, 0};
            ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
        }

      private:
        int fd_;
        int stopFd_;
    };

    using Handler = std::function<void(const Request&, const Connection&)>;

    explicit LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
        listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int pipeFds[2];
        if (!listener_.isOpen() ||
            ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_.get(), 8) != 0 ||
            ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
            ::pipe2(pipeFds, O_CLOEXEC) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        stopRead_.reset(pipeFds[0]);
        stopWrite_.reset(pipeFds[1]);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~LoopbackHttpServer() {
        (void)!::write(stopWrite_.get(), "x", 1);
        thread_.join();
    }

    int port() const { return port_; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<Request> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    // Waits for `fd` to be readable; false once the server is stopping.
    bool waitFor(int fd) const {
        pollfd fds[] = {{fd, POLLIN, 0}, {stopRead_.get(), POLLIN, 0}};
        return ::poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN);
    }

    std::optional<Request> read(int fd) const {
        std::string data;
        char buffer[4096];
        std::size_t headEnd;
        while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
            if (!waitFor(fd)) return std::nullopt;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return std::nullopt;
            data.append(buffer, static_cast<std::size_t>(n));
        }
        Request request{data.substr(0, headEnd + 2), data.substr(headEnd + 4)};
        std::size_t expected = 0;
        const auto field = request.head.find("Content-Length: ");
        if (field != std::string::npos) {
            expected = std::strtoul(request.head.c_str() + field + 16, nullptr, 10);
        }
        while (request.body.size() < expected) {
            if (!waitFor(fd)) return std::nullopt;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return std::nullopt;
            request.body.append(buffer, static_cast<std::size_t>(n));
        }
        return request;
    }

    void serve() {
        while (waitFor(listener_.get())) {
            const UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!connection.isOpen()) continue;
            const auto request = read(connection.get());
            if (!request) continue;
            {
                const std::lock_guard lock(mutex_);
                requests_.push_back(*request);
            }
            handler_(*request, Connection(connection.get(), stopRead_.get()));
        }
    }

    Handler handler_;
    UniqueFd listener_;
    UniqueFd stopRead_;
    UniqueFd stopWrite_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::thread thread_;
};

}  // namespace kd::test
