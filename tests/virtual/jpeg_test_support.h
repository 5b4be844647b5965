#pragma once

// Reading a JPEG back, to check what the encoder made of a picture.

#include <turbojpeg.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace kd::testing {

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgrx;
};

inline std::optional<DecodedJpeg> decodeJpeg(const std::vector<std::uint8_t>& jpeg) {
    tjhandle handle = tjInitDecompress();
    DecodedJpeg decoded;
    int subsampling = 0;
    int colorspace = 0;
    bool ok = tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &decoded.width, &decoded.height,
                                  &subsampling, &colorspace) == 0;
    if (ok) {
        decoded.bgrx.resize(static_cast<std::size_t>(decoded.width) * decoded.height * 4);
        ok = tjDecompress2(handle, jpeg.data(), jpeg.size(), decoded.bgrx.data(), decoded.width, 0,
                           decoded.height, TJPF_BGRX, 0) == 0;
    }
    tjDestroy(handle);
    if (!ok) return std::nullopt;
    return decoded;
}

}  // namespace kd::testing
