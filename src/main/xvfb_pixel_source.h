#pragma once

// Real pixels for the simulated virtual displays: an Xvfb screen of each
// display's pixel size. A screen that cannot be started is reported once
// per attempt, and the display goes on without pixels.

#include <functional>
#include <memory>
#include <string>

#include "platform/sim/sim_pixel_source.h"

namespace kd {

class XvfbPixelSource : public SimPixelSource {
  public:
    using Report = std::function<void(const std::string& failure)>;
    explicit XvfbPixelSource(Report report) : report_(std::move(report)) {}

    std::unique_ptr<SimPixelScreen> open(int pixelWidth, int pixelHeight) override;

  private:
    Report report_;
};

}  // namespace kd
