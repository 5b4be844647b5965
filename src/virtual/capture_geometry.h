#pragma once

// The size and pace at which a display is captured for streaming.

#include "platform/scheduler.h"

namespace kd {

struct CaptureGeometry {
    int width = 0;
    int height = 0;
    Scheduler::Duration minimumFrameInterval{};
    friend bool operator==(const CaptureGeometry&, const CaptureGeometry&) = default;
};

// Scaled down to at most `maxWidth` wide keeping the aspect, never enlarged,
// each side rounded down to an even number (and at least 2, so a picture
// remains); frames at most twice `fps` a second (`fps` below 1 counts as 1).
CaptureGeometry captureGeometry(int sourceWidth, int sourceHeight, int maxWidth, int fps);

}  // namespace kd
