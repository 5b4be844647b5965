#pragma once

// Captures one display and turns each new picture into a JPEG frame for the
// browser share, an image for the preview, or both. One streamer captures
// one display once: a new capture takes a new streamer.
//
// Contract:
// - Every member is called on the main queue. Set the callbacks before
//   `start`; `setQuality` may come at any time and holds from the next frame.
// - `start` returns at once; connecting to the capture service runs on the
//   capture queue ("com.kelvane1.display.capture"), where every frame is
//   encoded and `onFrame` and `onImage` are called. `onError` is called on
//   the main queue with one of "That display is not capturable",
//   "Capture failed: …" or "Capture stopped: …"; the streamer never retries.
// - Frames that are not complete produce nothing, but while the screen stays
//   still the last JPEG frame is handed out again about once a second, so a
//   viewer's picture never goes stale.
// - Once `stop` returns, no callback is running (unless `stop` was called from
//   inside one) and none is called again, errors included. `stop` may wait
//   for a callback in progress, so callbacks must not wait for the main queue.
// - The scheduler and the capture service outlive the streamer's queued work
//   (both live as long as the process).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display_services.h"
#include "platform/image.h"
#include "platform/scheduler.h"
#include "platform/screen_capture.h"

namespace kd {

struct JpegFrame {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    int width = 0;
    int height = 0;
};

class DisplayStreamer {
  public:
    static constexpr double kDefaultQuality = 0.6;

    DisplayStreamer(Scheduler& scheduler, ScreenCapture& capture);
    // Stops.
    ~DisplayStreamer();
    DisplayStreamer(const DisplayStreamer&) = delete;
    DisplayStreamer& operator=(const DisplayStreamer&) = delete;

    void setOnFrame(std::function<void(const JpegFrame&)> onFrame);
    void setOnImage(std::function<void(Image)> onImage);
    void setOnError(std::function<void(const std::string&)> onError);
    // JPEG quality 0 … 1.
    void setQuality(double quality);

    void start(DisplayID display, int fps, int maxWidth);
    void stop();

  private:
    struct Core;
    struct Session;
    std::shared_ptr<Core> core_;
    std::shared_ptr<Session> session_;  // of the latest start
};

}  // namespace kd
