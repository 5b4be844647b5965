#pragma once

// Accessibility trust of this process, which GUI scripting of another
// process needs. Contract: may be called from any thread; answers at once.

namespace kd {

class Accessibility {
  public:
    virtual ~Accessibility() = default;
    // Whether the process is trusted; with `prompt` the system shows its
    // permission prompt when it is not.
    virtual bool isProcessTrusted(bool prompt) = 0;
};

}  // namespace kd
