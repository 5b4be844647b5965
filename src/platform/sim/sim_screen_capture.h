#pragma once

// The simulated capture service: every online display of the window server
// can be captured, each showing a generated moving picture at the size asked
// for. Its controls play what a real service does: a permission that is
// missing, a start that fails, a screen that stops changing, a stream the
// system ends.

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/display_services.h"
#include "platform/scheduler.h"
#include "platform/screen_capture.h"

namespace kd {

class SimScreenCapture : public ScreenCapture {
  public:
    SimScreenCapture(Scheduler& scheduler, const DisplayServices& windowServer);

    std::vector<CapturableDisplay> capturableDisplays() override;
    CaptureStart start(const CaptureConfiguration& configuration, const Queue& queue,
                       CaptureCallbacks callbacks) override;

    // Simulator controls.
    // No display is capturable, as without the screen-recording permission.
    void refuseCapture(bool refuse);
    void failNextStart(std::string error);
    // Every screen stops changing (frames come idle) or moves again.
    void holdStill(bool still);
    // Every running stream ends on its own at its next frame with `error`.
    void endStreams(std::string error);
    // Streams started and not yet stopped or ended.
    std::size_t runningStreamCount() const;

    // Shared with the streams it starts.
    struct Controls;

  private:
    Scheduler& scheduler_;
    const DisplayServices& windowServer_;
    std::shared_ptr<Controls> controls_;
};

}  // namespace kd
