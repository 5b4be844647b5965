#include "platform/linux/frame_scaler.h"

#include <libyuv/scale_argb.h>

#include <limits>

namespace kd {

const std::uint8_t* FrameScaler::scale(const std::uint8_t* bgra, int sourceWidth, int sourceHeight,
                                       std::size_t sourceStride, int width, int height) {
    if (bgra == nullptr || sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0 ||
        sourceStride > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        width > std::numeric_limits<int>::max() / 4) {
        return nullptr;
    }
    stride_ = static_cast<std::size_t>(width) * 4;
    buffer_.resize(stride_ * static_cast<std::size_t>(height));
    // libyuv's "ARGB" is a 32-bit word, which is BGRA in memory.
    const auto mode = filter_ == Filter::box ? libyuv::kFilterBox : libyuv::kFilterBilinear;
    if (libyuv::ARGBScale(bgra, static_cast<int>(sourceStride), sourceWidth, sourceHeight,
                          buffer_.data(), static_cast<int>(stride_), width, height, mode) != 0) {
        return nullptr;
    }
    return buffer_.data();
}

}  // namespace kd
