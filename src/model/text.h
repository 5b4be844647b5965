#pragma once

// Case-insensitive text matching that follows the user's locale, so that
// "ГОСТИНАЯ" and "Гостиная" are the same name. Text is UTF-8 throughout;
// malformed bytes are read as U+FFFD rather than rejected.

#include <string>
#include <string_view>

namespace kd {

// Full Unicode lower-casing in the default locale.
std::string lowercased(std::string_view text);

// Full Unicode upper-casing without regard to the locale, for identifiers
// that must read the same on every Mac (a Turkish "i" stays "I").
std::string uppercased(std::string_view text);

// True when `needle`, lower-cased, occurs in `haystack`, lower-cased. An empty
// needle occurs nowhere, so a blank name never matches every screen.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

}  // namespace kd
