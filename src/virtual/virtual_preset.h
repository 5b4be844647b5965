#pragma once

// The quick size choices for the virtual display.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kd {

struct VirtualPreset {
    std::string label;
    int width = 0;  // pixels, or points with Retina on
    int height = 0;

    // The size as "1920x1080".
    std::string id() const;
    friend bool operator==(const VirtualPreset&, const VirtualPreset&) = default;
};

// The fixed list, in the order the choices are shown; built once.
const std::vector<VirtualPreset>& virtualPresets();

}  // namespace kd

template <>
struct std::hash<kd::VirtualPreset> {
    std::size_t operator()(const kd::VirtualPreset& preset) const noexcept;
};
