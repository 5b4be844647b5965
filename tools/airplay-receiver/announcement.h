#pragma once

// The receiver's _airplay._tcp announcement through the Avahi daemon, kept
// up by Avahi's own thread until this object goes, which withdraws it.

#include <functional>
#include <memory>
#include <string>

#include "options.h"

namespace kd::receiver {

class Announcement {
  public:
    // Called once, on Avahi's thread, with a message when the announcement
    // is up, and with an error when the daemon refuses it or goes away.
    struct Events {
        std::function<void(const std::string& message)> established;
        std::function<void(const std::string& error)> failed;
    };

    // Null, with the reason in `error`, when the daemon cannot be reached.
    static std::unique_ptr<Announcement> start(const Options& options, int port, Events events,
                                               std::string& error);
    ~Announcement();
    Announcement(const Announcement&) = delete;
    Announcement& operator=(const Announcement&) = delete;

    struct State;

  private:
    explicit Announcement(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace kd::receiver
