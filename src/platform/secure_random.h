#pragma once

// The system's cryptographic random source.
//
// Contract: `fill` may be called from any thread and fills every byte, or
// throws std::system_error when the source cannot be read; it never hands
// back predictable bytes instead.

#include <cstddef>
#include <span>

namespace kd {

class SecureRandom {
  public:
    virtual ~SecureRandom() = default;
    virtual void fill(std::span<std::byte> bytes) = 0;
};

}  // namespace kd
