#pragma once

// Text placed inside the generated command lines, script and property list.
// The paths come from the user's folder names, and the commands run as root,
// so each is escaped for the quotes it stands in: a quote, `$`, backtick or
// `&` in a folder name must stay part of the name and never end the quoting.
// Ordinary paths come out unchanged.

#include <string>
#include <string_view>

namespace kd {

// For use between single quotes in a shell: each ' becomes '\''.
std::string insideSingleQuotes(std::string_view text);

// For use between double quotes in a shell: \, ", $ and ` get a backslash.
std::string insideDoubleQuotes(std::string_view text);

// For XML character data: &, < and > become entities.
std::string xmlText(std::string_view text);

}  // namespace kd
