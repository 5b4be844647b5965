#pragma once

// The user's Application Support folder as Linux has it: the data home of
// the XDG base directories.

#include <filesystem>

namespace kd {

// `$XDG_DATA_HOME`, or `$HOME/.local/share` when XDG_DATA_HOME is unset,
// empty or relative. Throws std::runtime_error when neither variable gives an
// absolute path. Creates nothing.
std::filesystem::path applicationSupportFolder();

}  // namespace kd
