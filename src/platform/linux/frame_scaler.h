#pragma once

// Scales BGRA pictures with libyuv's SIMD scaler into a buffer it keeps
// between frames. One scaler serves one thread at a time.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kd {

class FrameScaler {
  public:
    // How libyuv averages: `box` reads every source pixel (the sharpest
    // downscale), `bilinear` reads four around each sample (cheaper for
    // large reductions, a little softer).
    enum class Filter { box, bilinear };

    explicit FrameScaler(Filter filter = Filter::box) : filter_(filter) {}

    // The picture at `width` × `height`; null when libyuv refuses the sizes.
    // Valid until the next call.
    const std::uint8_t* scale(const std::uint8_t* bgra, int sourceWidth, int sourceHeight,
                              std::size_t sourceStride, int width, int height);
    std::size_t stride() const { return stride_; }

  private:
    Filter filter_;
    std::vector<std::uint8_t> buffer_;
    std::size_t stride_ = 0;
};

}  // namespace kd
