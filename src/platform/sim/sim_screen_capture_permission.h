#pragma once

// Screen-recording permission as the scenario grants it. The request shows
// no prompt here; the simulator control stands for the user's answer.

#include <atomic>

#include "platform/screen_capture_permission.h"

namespace kd {

class SimScreenCapturePermission final : public ScreenCapturePermission {
  public:
    explicit SimScreenCapturePermission(bool allowed) : allowed_(allowed) {}
    bool allowed() const override { return allowed_; }
    bool request() override {
        ++requests_;
        return allowed_;
    }

    // Simulator controls.
    void setAllowed(bool allowed) { allowed_ = allowed; }
    int requestsShown() const { return requests_; }

  private:
    std::atomic<bool> allowed_;
    std::atomic<int> requests_{0};
};

}  // namespace kd
