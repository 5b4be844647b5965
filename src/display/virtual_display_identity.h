#pragma once

// The display id of the virtual display, if one is running.
//
// Contract: the virtual display's owner publishes from the main thread;
// inventory queries read from any thread. The id lives in one atomic word, so
// a reader sees either the old id or the new one, never a torn value, and no
// lock is needed. A query should read it once and use that value throughout,
// so that one answer never mixes two ids.

#include <atomic>
#include <optional>

#include "platform/display_services.h"

namespace kd {

class VirtualDisplayIdentity {
  public:
    // Nothing (or 0) means no virtual display.
    void publish(std::optional<DisplayID> display) {
        id_.store(display.value_or(0), std::memory_order_release);
    }

    std::optional<DisplayID> current() const {
        const auto id = id_.load(std::memory_order_acquire);
        if (id == 0) return std::nullopt;
        return id;
    }

    bool isVirtual(DisplayID display) const {
        return display != 0 && display == id_.load(std::memory_order_acquire);
    }

  private:
    std::atomic<DisplayID> id_{0};
};

}  // namespace kd
