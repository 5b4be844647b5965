#include "platform/sim/scripting/line_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace kd {
namespace {

// Waits for `events` until the deadline; false when it passed first.
bool await(int socket, short events, LineDeadline deadline) {
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd poll{socket, events, 0};
        const int ready = ::poll(
            &poll, 1, static_cast<int>(std::min<std::int64_t>(left.count(), std::int64_t{60'000})));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

}  // namespace

bool sendAll(int socket, std::string_view data, LineDeadline deadline) {
    while (!data.empty()) {
        const ssize_t sent = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            await(socket, POLLOUT, deadline)) {
            continue;
        }
        return false;
    }
    return true;
}

std::optional<std::string> receiveLine(int socket, std::size_t limit, LineDeadline deadline) {
    std::string line;
    std::array<char, std::size_t{16} * 1024> chunk{};
    while (true) {
        const ssize_t got = ::recv(socket, chunk.data(), chunk.size(), 0);
        if (got > 0) {
            const std::string_view part(chunk.data(), static_cast<std::size_t>(got));
            const auto end = part.find('\n');
            line.append(part.substr(0, end));
            if (line.size() > limit) return std::nullopt;
            if (end != std::string_view::npos) return line;
            continue;
        }
        if (got == 0) return std::nullopt;
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && await(socket, POLLIN, deadline)) {
            continue;
        }
        return std::nullopt;
    }
}

}  // namespace kd
