#pragma once

// Where an extended screen sits beside the Mac. The raw text is the stored form.

#include <array>
#include <optional>
#include <string_view>

namespace kd {

enum class Side { left, right, top };

inline constexpr std::array<Side, 3> kAllSides = {Side::left, Side::right, Side::top};

constexpr const char* toString(Side side) {
    switch (side) {
        case Side::left:
            return "left";
        case Side::right:
            return "right";
        case Side::top:
            return "top";
    }
    return "left";
}

// Exact raw values only: "Left" is no side.
constexpr std::optional<Side> sideFromRaw(std::string_view raw) {
    for (const auto side : kAllSides) {
        if (raw == toString(side)) return side;
    }
    return std::nullopt;
}

}  // namespace kd
