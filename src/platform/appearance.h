#pragma once

// The appearance of the whole application: forced dark or light, or the
// system's own. Contract: call on the main thread; takes effect at once on
// every window, open or opened later.

#include <optional>

namespace kd {

enum class AppearanceName { dark, light };

class Appearance {
  public:
    virtual ~Appearance() = default;
    // Forces `name` on the application; none removes the forced appearance,
    // so the system setting applies again.
    virtual void setAppearance(std::optional<AppearanceName> name) = 0;
};

}  // namespace kd
