#pragma once

// Case-insensitive text matching that follows the user's locale, so that
// "ГОСТИНАЯ" and "Гостиная" are the same name. Text is UTF-8 throughout;
// malformed bytes are read as U+FFFD rather than rejected.

#include <cstddef>
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

// `text` without the white space and line breaks (any Unicode ones) at
// either end.
std::string trimmedWhitespace(std::string_view text);

// The first `count` characters of `text` as a reader counts them (user-
// perceived characters, so an emoji or an accented letter is never cut in
// two); all of it when it is shorter.
std::string firstCharacters(std::string_view text, std::size_t count);

}  // namespace kd
