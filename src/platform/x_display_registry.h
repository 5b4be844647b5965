#pragma once

// Which X display shows the pixels of a display: the virtual display host
// records the X server it starts for a display here, and the screen capture
// looks it up. Thread-safe.

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/display_services.h"

namespace kd {

class XDisplayRegistry {
  public:
    // `name` as X clients take it (":12"); replaces an earlier entry.
    void add(DisplayID display, std::string name) {
        std::lock_guard lock(mutex_);
        names_[display] = std::move(name);
    }
    void remove(DisplayID display) {
        std::lock_guard lock(mutex_);
        names_.erase(display);
    }
    std::optional<std::string> find(DisplayID display) const {
        std::lock_guard lock(mutex_);
        const auto found = names_.find(display);
        if (found == names_.end()) return std::nullopt;
        return found->second;
    }

  private:
    mutable std::mutex mutex_;
    std::map<DisplayID, std::string> names_;
};

}  // namespace kd
