#include "virtual/jpeg_encoder.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kd {

int jpegQuality(double quality) {
    if (!(quality >= 0)) return 1;  // NaN too
    return std::clamp(static_cast<int>(std::lround(std::min(quality, 1.0) * 100)), 1, 100);
}

JpegEncoder::JpegEncoder() : handle_(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
    if (buffer_ != nullptr) tjFree(buffer_);
    if (handle_ != nullptr) tjDestroy(static_cast<tjhandle>(handle_));
}

std::shared_ptr<const std::vector<std::uint8_t>> JpegEncoder::encode(const std::uint8_t* bgra,
                                                                     int width, int height,
                                                                     std::size_t stride,
                                                                     double quality) {
    if (handle_ == nullptr || bgra == nullptr || width <= 0 || height <= 0 ||
        stride < static_cast<std::size_t>(width) * 4 ||
        stride > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return nullptr;
    }
    // A buffer large enough for the worst case lets TurboJPEG write without
    // reallocating; it is kept, so a steady stream allocates only its output.
    const unsigned long needed = tjBufSize(width, height, TJSAMP_420);
    if (needed == static_cast<unsigned long>(-1)) return nullptr;
    if (needed > bufferSize_) {
        if (buffer_ != nullptr) tjFree(buffer_);
        buffer_ = tjAlloc(static_cast<int>(needed));
        bufferSize_ = buffer_ != nullptr ? needed : 0;
        if (buffer_ == nullptr) return nullptr;
    }
    unsigned long size = bufferSize_;
    // The fourth byte is padding to the encoder (BGRX), whatever the capture put there.
    if (tjCompress2(static_cast<tjhandle>(handle_), bgra, width, static_cast<int>(stride), height,
                    TJPF_BGRX, &buffer_, &size, TJSAMP_420, jpegQuality(quality),
                    TJFLAG_NOREALLOC) != 0) {
        return nullptr;
    }
    return std::make_shared<const std::vector<std::uint8_t>>(buffer_, buffer_ + size);
}

}  // namespace kd
