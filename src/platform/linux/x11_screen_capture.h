#pragma once

// The capture service on Linux: a display whose pixels live on an X server
// (the Xvfb behind a virtual display) is captured from that server; any other display is left to
// the fallback service, which knows every display and shows a generated picture. Frames are scaled
// with libyuv when the configured size differs from the screen's, and marked idle when DAMAGE saw
// no drawing since the last one. Contract: as ScreenCapture.

#include <functional>
#include <optional>
#include <string>
#include "platform/linux/frame_scaler.h"
#include "platform/scheduler.h"
#include "platform/screen_capture.h"

namespace kd {

class X11ScreenCapture : public ScreenCapture {
  public:
    // The X display name (":7") showing a display, if one does; called from
    // any thread.
    using XDisplayOf = std::function<std::optional<std::string>(DisplayID)>;

    X11ScreenCapture(Scheduler& scheduler, XDisplayOf xDisplayOf, ScreenCapture& fallback,
                     FrameScaler::Filter filter = FrameScaler::Filter::box);

    // The fallback's displays, with the size of the X screen behind each
    // display that has one.
    std::vector<CapturableDisplay> capturableDisplays() override;
    CaptureStart start(const CaptureConfiguration& configuration, const Queue& queue,
                       CaptureCallbacks callbacks) override;

  private:
    Scheduler& scheduler_;
    const XDisplayOf xDisplayOf_;
    ScreenCapture& fallback_;
    const FrameScaler::Filter filter_;
};

}  // namespace kd
