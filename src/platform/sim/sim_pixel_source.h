#pragma once

// Where the simulated virtual displays get real pixels from, if anywhere:
// on Linux an X screen of the display's pixel size that any X program can
// draw on. Without a source a simulated virtual display has no pixels.
//
// Contract: `open` is called on the main thread and may block for a bounded
// time; it answers nothing when no screen can be had. Destroying the screen
// stops it, on the thread that opened it.

#include <memory>
#include <string>

namespace kd {

class SimPixelScreen {
  public:
    virtual ~SimPixelScreen() = default;
    // The X display name, such as ":7".
    virtual const std::string& xDisplayName() const = 0;
};

class SimPixelSource {
  public:
    virtual ~SimPixelSource() = default;
    virtual std::unique_ptr<SimPixelScreen> open(int pixelWidth, int pixelHeight) = 0;
};

}  // namespace kd
