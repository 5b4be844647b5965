#pragma once

// The simulated Mac's application appearance: remembers what is forced.
// Main thread, as the port says.

#include <optional>

#include "platform/appearance.h"

namespace kd {

class SimAppearance : public Appearance {
  public:
    void setAppearance(std::optional<AppearanceName> name) override { forced_ = name; }
    // None: the application follows the system.
    std::optional<AppearanceName> forced() const { return forced_; }

  private:
    std::optional<AppearanceName> forced_;
};

}  // namespace kd
