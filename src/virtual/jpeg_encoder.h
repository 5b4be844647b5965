#pragma once

// JPEG encoding of captured BGRA pixels with TurboJPEG, read straight from
// the capture's buffer with no conversion pass. Frames are 4:2:0 baseline
// JFIF, whose colour space is sRGB, as the screen's pixels are. One encoder
// serves one thread at a time; it keeps its working buffer between frames.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kd {

// A quality of 0 … 1 on the JPEG scale of 1 … 100.
int jpegQuality(double quality);

class JpegEncoder {
  public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // The JPEG's bytes, or nothing when TurboJPEG refuses the picture.
    std::shared_ptr<const std::vector<std::uint8_t>> encode(const std::uint8_t* bgra, int width,
                                                            int height, std::size_t stride,
                                                            double quality);

  private:
    void* handle_ = nullptr;
    unsigned char* buffer_ = nullptr;  // from tjAlloc, sized for the largest frame so far
    unsigned long bufferSize_ = 0;
};

}  // namespace kd
