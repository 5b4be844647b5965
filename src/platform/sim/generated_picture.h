#pragma once

// A moving picture for a simulated screen, so that a capture of a display
// with no real pixels behind it shows something alive: a colour wash with a
// bright band that sweeps across it, one step a frame.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kd {

class GeneratedPicture {
  public:
    GeneratedPicture(int width, int height);

    // Moves the band on by one step.
    void advance();

    const std::uint8_t* pixels() const { return pixels_.data(); }  // BGRA
    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 4; }

  private:
    void paintColumns(int from, int to, bool band);

    int width_;
    int height_;
    int bandAt_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace kd
