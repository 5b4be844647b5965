#pragma once

// One line each way over a connected stream socket, every call bounded by a
// deadline, so a peer that stops talking cannot hold the caller. The socket
// must be non-blocking. Writing never raises SIGPIPE.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/unique_fd.h"

namespace kd {

using LineDeadline = std::chrono::steady_clock::time_point;

// True once all of `data` is written.
bool sendAll(int socket, std::string_view data, LineDeadline deadline);

// The bytes before the first line feed. Nothing when the peer closes first,
// the line grows past `limit` bytes, the socket fails or the deadline passes.
std::optional<std::string> receiveLine(int socket, std::size_t limit, LineDeadline deadline);

}  // namespace kd
