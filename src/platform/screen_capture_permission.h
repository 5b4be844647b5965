#pragma once

// The user's permission for this process to record the screen.
//
// Contract: may be called from any thread; answers at once. `request` shows
// the system's permission request when the permission is missing; the user's
// answer, if any, arrives later and shows in a later `allowed`.

namespace kd {

class ScreenCapturePermission {
  public:
    virtual ~ScreenCapturePermission() = default;
    virtual bool allowed() const = 0;
    virtual bool request() = 0;
};

}  // namespace kd
