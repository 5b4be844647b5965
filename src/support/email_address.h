#pragma once

// The contact card's e-mail rules: plain functions over text.

#include <string>
#include <string_view>

namespace kd {

// `email` without the white space and line breaks around it, lower-cased;
// nothing else changes, so a "+" tag and dots stay.
std::string normalise(std::string_view email);

// True when `text` has, after dropping empty pieces between "@" signs,
// exactly a name and a domain, and the domain has a dot that does not end it.
// Deliberately loose: the card only needs a way back to the user, and any
// character check would refuse some real address. White space is not
// refused here; callers normalise first.
bool looksLikeEmail(std::string_view text);

}  // namespace kd
