#pragma once

// The screen-capture service: pictures of one display at a chosen size and
// rate, as a stream of frames.
//
// Contract:
// - `capturableDisplays` and `start` may be called from any thread; they may
//   block briefly (opening a connection to a display server), so callers keep
//   them off the main queue.
// - A display that is not among `capturableDisplays` cannot be started.
// - `start` answers with a running stream or with the error's description,
//   never both. Frames and the stream's own end arrive on the serial queue
//   the caller names, one at a time, in order.
// - A frame's pixels belong to the stream and are valid only during the
//   `onFrame` call: BGRA (bytes in that order, alpha unspecified), rows top
//   down, `stride` bytes apart, of the configured size.
// - A frame is `idle` when nothing on the screen changed since the previous
//   frame; its pixels are then those of the previous complete frame. Frames
//   come at most once per `minimumFrameInterval`, idle ones included, so a
//   still screen still ticks.
// - `onStopped` is called at most once, when the stream ends on its own (the
//   display went away, its server died), with the error's description.
//   Nothing is delivered after it.
// - `CaptureStream::stop` is final and may be called from any thread, also
//   from inside a callback: once it returns no callback is running (apart
//   from the one that called it) and none starts. Destroying a stream stops it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/display_services.h"
#include "platform/scheduler.h"

namespace kd {

struct CapturableDisplay {
    DisplayID id = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    friend bool operator==(const CapturableDisplay&, const CapturableDisplay&) = default;
};

struct CaptureConfiguration {
    DisplayID display = 0;
    int width = 0;  // of the delivered frames, in pixels
    int height = 0;
    Scheduler::Duration minimumFrameInterval{};
};

enum class FrameStatus { complete, idle };

struct CapturedFrame {
    FrameStatus status = FrameStatus::complete;
    const std::uint8_t* pixels = nullptr;  // BGRA
    int width = 0;
    int height = 0;
    std::size_t stride = 0;  // bytes from one row to the next
};

struct CaptureCallbacks {
    std::function<void(const CapturedFrame&)> onFrame;
    std::function<void(const std::string& error)> onStopped;
};

class CaptureStream {
  public:
    virtual ~CaptureStream() = default;
    virtual void stop() = 0;
};

// A running stream, or why none could start.
using CaptureStart = std::variant<std::unique_ptr<CaptureStream>, std::string>;

class ScreenCapture {
  public:
    virtual ~ScreenCapture() = default;
    virtual std::vector<CapturableDisplay> capturableDisplays() = 0;
    virtual CaptureStart start(const CaptureConfiguration& configuration, const Queue& queue,
                               CaptureCallbacks callbacks) = 0;
};

}  // namespace kd
