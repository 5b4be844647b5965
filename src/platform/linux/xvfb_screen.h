#pragma once

// A private X server (Xvfb) with one screen of a given pixel size, on a free
// display number that the server picks itself, so that any X program can
// draw on it.
//
// Contract:
// - `start` waits at most `timeout` for the server to report its display
//   number; on failure it answers nothing with the reason in `failure`, and
//   no server is left running.
// - The server dies with the thread that started it (PR_SET_PDEATHSIG), so
//   it never outlives this process: start it from a thread that lives as
//   long as the screen is wanted, such as the main thread.
// - Destroying the screen stops the server and reaps it: SIGTERM, then
//   SIGKILL if it has not ended within a second.
// - The server listens on its local socket only, and keeps its picture when
//   its last client leaves.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

namespace kd {

class XvfbScreen {
  public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{10'000};

    static std::unique_ptr<XvfbScreen> start(int pixelWidth, int pixelHeight, std::string& failure,
                                             std::chrono::milliseconds timeout = kDefaultTimeout);
    // The program's path when it is on PATH; empty when it is not.
    static std::string program();

    ~XvfbScreen();
    XvfbScreen(const XvfbScreen&) = delete;
    XvfbScreen& operator=(const XvfbScreen&) = delete;

    // Such as ":7".
    const std::string& displayName() const { return displayName_; }
    pid_t pid() const { return pid_; }

  private:
    XvfbScreen(pid_t pid, std::string displayName)
        : pid_(pid), displayName_(std::move(displayName)) {}

    pid_t pid_;
    std::string displayName_;
};

}  // namespace kd
