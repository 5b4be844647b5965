#pragma once

// One D-Bus connection (sd-bus), served by a thread of its own.
//
// Contract:
// - sd-bus connections are not thread-safe, so the connection is only ever
//   touched on this object's thread: work handed to `post` (from any thread,
//   returning at once) runs there, in order, with the connection; so do the
//   callbacks sd-bus makes for what the work set up (replies, matched
//   signals, exported methods).
// - The connection opens with the first work that needs it. When it cannot
//   open (no bus, nobody listening), that work is dropped and the next one
//   tries again; a connection the bus closes, or that is not ready
//   kConnectPatience after opening, is dropped the same way. `connected`
//   runs on the thread for each new connection, before any work uses it.
// - Nothing waits without a bound: the thread waits only for the
//   connection's own deadlines and for new work.
// - Destruction, which must not happen on this thread, drops work not yet
//   started, finishes the work running, closes the connection without
//   waiting for what it has not sent, and joins the thread.

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/unique_fd.h"

struct sd_bus;

namespace kd {

inline constexpr std::chrono::seconds kConnectPatience{2};

class SdBusThread {
  public:
    using Work = std::function<void(sd_bus* bus)>;

    // `address` is a D-Bus address ("unix:path=/run/user/1000/bus"); none
    // means the user's session bus, as DBUS_SESSION_BUS_ADDRESS (or else
    // $XDG_RUNTIME_DIR/bus) names it.
    SdBusThread(std::optional<std::string> address, Work connected);
    ~SdBusThread();
    SdBusThread(const SdBusThread&) = delete;
    SdBusThread& operator=(const SdBusThread&) = delete;

    void post(Work work);

  private:
    void run();

    const std::optional<std::string> address_;
    const Work connected_;
    const UniqueFd wake_;  // an eventfd that ends the thread's wait for new work

    std::mutex mutex_;
    std::deque<Work> work_;
    bool stopping_ = false;

    std::thread thread_;  // last, so that it starts after everything it uses
};

}  // namespace kd
