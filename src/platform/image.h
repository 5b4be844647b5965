#pragma once

// A picture handed across a port: straight RGBA, 8 bits a channel, rows top down.

#include <cstdint>
#include <vector>

namespace kd {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

    bool empty() const { return width <= 0 || height <= 0 || rgba.empty(); }
    friend bool operator==(const Image&, const Image&) = default;
};

}  // namespace kd
