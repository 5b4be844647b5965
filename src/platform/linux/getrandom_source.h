#pragma once

// The kernel's random source through getrandom(2).

#include "platform/secure_random.h"

namespace kd {

class GetrandomSource final : public SecureRandom {
  public:
    void fill(std::span<std::byte> bytes) override;
};

}  // namespace kd
