#include "platform/sim/generated_picture.h"

#include <algorithm>

namespace kd {

namespace {

constexpr int kBandWidth = 16;
constexpr int kStep = 8;

}  // namespace

GeneratedPicture::GeneratedPicture(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4) {
    paintColumns(0, width_, false);
    paintColumns(0, std::min(kBandWidth, width_), true);
}

void GeneratedPicture::advance() {
    if (width_ == 0) return;
    // Only the columns the band leaves and enters change.
    paintColumns(bandAt_, std::min(bandAt_ + kBandWidth, width_), false);
    bandAt_ = (bandAt_ + kStep) % width_;
    paintColumns(bandAt_, std::min(bandAt_ + kBandWidth, width_), true);
}

void GeneratedPicture::paintColumns(int from, int to, bool band) {
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = pixels_.data() + static_cast<std::size_t>(y) * stride();
        for (int x = from; x < to; ++x) {
            std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 4;
            if (band) {
                pixel[0] = pixel[1] = pixel[2] = 240;
            } else {
                pixel[0] = static_cast<std::uint8_t>(96 + 128 * x / std::max(width_, 1));  // blue
                pixel[1] = static_cast<std::uint8_t>(48 + 96 * y / std::max(height_, 1));  // green
                pixel[2] =
                    static_cast<std::uint8_t>(32 + 64 * (x + y) / (width_ + height_));  // red
            }
            pixel[3] = 255;
        }
    }
}

}  // namespace kd
