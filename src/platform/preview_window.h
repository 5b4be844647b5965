#pragma once

// The window that shows the virtual display live on this Mac's own screen.
//
// Contract: main thread only. `open` shows a titled, closable, resizable
// window of the given content size in points, centred and in front, and
// calls `onClose` (on the main thread) when the user closes it; `onClose`
// may destroy the window. Destroying the window takes it off the screen
// without calling `onClose`.

#include <functional>
#include <memory>
#include <string>

#include "platform/image.h"

namespace kd {

class PreviewWindow {
  public:
    virtual ~PreviewWindow() = default;
    // The backing scale of the screen the window is on; 0 when it is on none.
    virtual double backingScale() const = 0;
    // The window's frame width in points.
    virtual double widthPoints() const = 0;
    // Shows the picture scaled proportionally, up or down, on black.
    virtual void show(Image image) = 0;
};

class PreviewWindows {
  public:
    virtual ~PreviewWindows() = default;
    virtual std::unique_ptr<PreviewWindow> open(const std::string& title, int width, int height,
                                                std::function<void()> onClose) = 0;
};

}  // namespace kd
