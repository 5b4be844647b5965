#pragma once

// A capture stream that asks a frame source for one frame per interval, on
// the caller's serial queue, as the ScreenCapture contract describes.

#include <memory>
#include <optional>
#include <string>

#include "platform/scheduler.h"
#include "platform/screen_capture.h"

namespace kd {

// Pictures of one screen, taken when asked. Used on one queue at a time.
class FrameSource {
  public:
    using Deliver = std::function<void(const CapturedFrame&)>;
    virtual ~FrameSource() = default;
    // Hands `deliver` the screen as it is now, or answers why no frame can
    // be had any more, which ends the stream.
    virtual std::optional<std::string> nextFrame(const Deliver& deliver) = 0;
};

// Starts at once: the first frame is due now, the next ones `interval` apart
// (1 ms at the least). The source is released when the stream stops.
std::unique_ptr<CaptureStream> startPacedCaptureStream(Scheduler& scheduler, const Queue& queue,
                                                       Scheduler::Duration interval,
                                                       std::unique_ptr<FrameSource> source,
                                                       CaptureCallbacks callbacks);

}  // namespace kd
