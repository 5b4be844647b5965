#pragma once

// Small UTF-8 text files, written so that a reader never sees half of one.
// Blocking file calls: any thread, but not the main one for anything larger
// than a line or two.

#include <optional>
#include <string>
#include <string_view>

namespace kd {

// Creates the file's folder and its parents as needed, writes `text` to a
// new file beside it and renames that over `path`. False when any step fails;
// then `path` is as it was.
bool writeTextFile(const std::string& path, std::string_view text);

// The whole file; nothing when it cannot be read or is not valid UTF-8.
std::optional<std::string> readTextFile(const std::string& path);

}  // namespace kd
