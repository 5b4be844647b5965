#pragma once

#include <string_view>

namespace kd {

// True when `bytes` is well-formed UTF-8: no stray continuation bytes, no
// truncated sequences, no overlong forms, no surrogates, nothing above
// U+10FFFF. Empty text is well-formed.
bool isValidUtf8(std::string_view bytes);

}  // namespace kd
