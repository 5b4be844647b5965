#pragma once

// The secret in the browser share's address. Ten characters from an alphabet
// without look-alikes (no i, l, o, 0 or 1), so it can be read off a screen
// and typed on a phone.

#include <string>
#include <string_view>

#include "platform/secure_random.h"

namespace kd {

inline constexpr std::string_view kShareTokenAlphabet = "abcdefghjkmnpqrstuvwxyz23456789";
inline constexpr std::size_t kShareTokenLength = 10;

// Each character uniformly and independently chosen: bytes that would bias
// the choice towards the alphabet's start are drawn again.
std::string makeShareToken(SecureRandom& random);

}  // namespace kd
