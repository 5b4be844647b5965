#pragma once

// TXT records in their wire form, for tests that read them.

#include <string>
#include <vector>

namespace kd::testing {

// Each string prefixed by its length.
inline std::string txtWire(const std::vector<std::string>& strings) {
    std::string out;
    for (const auto& s : strings) {
        out += static_cast<char>(s.size());
        out += s;
    }
    return out;
}

}  // namespace kd::testing
