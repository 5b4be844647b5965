#pragma once

// Integer arithmetic as a `return` statement writes it: + - * / with the
// usual precedence, unary minus and parentheses. Division truncates toward
// zero.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kd::osascript {

enum class Arithmetic { checkOnly, evaluate };

// `expression` starts at byte `offset` of the script, which error positions
// count from. Throws ScriptError: a syntax error for text that is not an
// expression; with `evaluate`, an execution error for division by zero or a
// result out of range. With `checkOnly` the value is meaningless.
std::int64_t arithmetic(std::string_view expression, std::size_t offset, Arithmetic mode);

}  // namespace kd::osascript
