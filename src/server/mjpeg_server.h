#pragma once

// A small HTTP/1.1 server that lets browsers on the local network watch the
// shared display. Under one secret path segment (the token) it serves the
// viewer page, the latest frame as a single JPEG for polling, and a
// multipart/x-mixed-replace MJPEG stream, and it counts live viewers.
//
// Contract:
// - All state lives on the server's own thread, which runs its Asio
//   io_context as the serial queue "com.kelvane1.display.http".
// - Every public method may be called from any thread. `start`, `stop`,
//   `clientCount` and `setOnClientChange` wait for the server's thread to do
//   their work (calling them from `onClientChange` itself is fine); `send`
//   returns at once.
// - `onClientChange` is called on the server's thread with the live viewer
//   count whenever it differs from the count last reported, and with 0 by
//   every `stop` (and so by every `start`). The owner moves to its own thread
//   before touching observable state. Set it before `start`.
// - Frames are shared, never copied: every stream client writes the same
//   bytes. A stream client holds at most three frames not yet written; a
//   client that stops reading misses frames while the others keep theirs.
// - A connection whose request has not arrived, or whose answer has not been
//   taken, within `requestPatience` is closed; beyond `maxConnections` open
//   connections, new ones are closed at once.
// - A frame is served to pollers for 4 seconds after it was sent; a poller
//   counts as a viewer for 4 seconds after its last poll.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace kd {

class MJPEGServer {
  public:
    using Frame = std::shared_ptr<const std::vector<std::uint8_t>>;
    using Clock = std::chrono::steady_clock;

    struct Options {
        std::chrono::milliseconds requestPatience{std::chrono::seconds(15)};
        std::size_t maxConnections{256};
        // The clock that frame freshness and pollers are measured by; the
        // steady clock when empty.
        std::function<Clock::time_point()> now;
    };

    MJPEGServer();
    explicit MJPEGServer(Options options);
    ~MJPEGServer();
    MJPEGServer(const MJPEGServer&) = delete;
    MJPEGServer& operator=(const MJPEGServer&) = delete;

    // Stops, then listens on `port` of every IPv4 address (0: any free port,
    // see `port()`) under `token`. Returns the listener's error, leaving the
    // server stopped.
    std::error_code start(std::uint16_t port, std::string token);

    // Closes the listener and every connection, forgets the frame and the
    // pollers, then reports 0 viewers.
    void stop();

    // The newest JPEG, for pollers and every stream client. Ignored while
    // stopped.
    void send(Frame jpeg);

    // Stream clients plus pollers seen in the last 4 seconds.
    int clientCount() const;

    void setOnClientChange(std::function<void(int)> onClientChange);

    // The port bound by the last successful `start`; 0 before.
    std::uint16_t port() const;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kd
