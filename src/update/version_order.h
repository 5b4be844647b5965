#pragma once

// The order of dotted version texts as feeds and builds write them: "1.10"
// after "1.9", "1.4" the same as "1.4.0", and a pre-release such as "1.4b2"
// or "1.4-rc1" before "1.4".

#include <optional>
#include <string_view>

namespace kd {

// Negative when `a` is older than `b`, zero when they are the same version,
// positive when `a` is newer. Any text is accepted: numbers of any length
// are compared without overflow, and a part without digits counts as 0.
int compareVersions(std::string_view a, std::string_view b);

// True when the text, without surrounding spaces, starts with a digit: the
// least a feed's version must be for its order to mean anything.
bool isVersion(std::string_view text);

}  // namespace kd
