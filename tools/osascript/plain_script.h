#pragma once

// Plain scripts: one statement a line, `delay SECONDS` (a decimal number,
// really waited) and `return EXPRESSION` (integer arithmetic, printed with a
// line feed; it ends the script). Blank lines and "--" comments are ignored.
// As with AppleScript, the whole script is checked before any of it runs, so
// a syntax error anywhere means nothing runs.

#include <ostream>
#include <string_view>

namespace kd::osascript {

// Returns the exit status: 0, or 1 after writing one error line to `err`.
int runPlainScript(std::string_view script, std::ostream& out, std::ostream& err);

}  // namespace kd::osascript
