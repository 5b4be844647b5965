#pragma once

// A version-4 UUID from the system's cryptographic source, in upper case as
// the Mac writes them: "0F1E2D3C-…".

#include <string>

#include "platform/secure_random.h"

namespace kd {

std::string randomUUID(SecureRandom& random);

}  // namespace kd
