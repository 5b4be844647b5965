#pragma once

// Expected texts kept as files under tests/ (a folder named "golden" beside
// the tests that use them), so a long generated script or table is read and
// reviewed as itself rather than as string literals in test code.

#include <cstddef>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kd::testing {

// The file at `path` under tests/, byte for byte.
inline std::string golden(const std::string& path) {
    const std::string full = std::string(KD_TESTS_DIR) + "/" + path;
    std::ifstream in(full, std::ios::binary);
    if (!in) throw std::runtime_error("no golden file " + full);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// `text` with every placeholder replaced by its value in one pass, so a value
// that happens to spell a placeholder is left as it is.
inline std::string filled(std::string_view text,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        bool replaced = false;
        for (const auto& [placeholder, value] : values) {
            if (text.substr(at, placeholder.size()) == placeholder) {
                out += value;
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[at++];
    }
    return out;
}

}  // namespace kd::testing
