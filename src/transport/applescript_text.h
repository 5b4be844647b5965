#pragma once

// Text that goes inside an AppleScript string literal ("…"). Names and
// identifiers placed in generated scripts come from the network or from the
// user, so each is escaped: otherwise a quote in a television's name, or one
// planted in a receiver's advertised identifier, would end the literal and
// turn the rest into script that runs with this process's rights.

#include <string>
#include <string_view>

namespace kd {

// Backslashes doubled first, then every double quote preceded by a
// backslash. The result is the literal's contents, without the quotes.
std::string appleScriptEscaped(std::string_view text);

}  // namespace kd
