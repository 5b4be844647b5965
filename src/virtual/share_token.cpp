#include "virtual/share_token.h"

#include <array>
#include <cstddef>

namespace kd {

std::string makeShareToken(SecureRandom& random) {
    constexpr std::size_t alphabetSize = kShareTokenAlphabet.size();
    // The largest multiple of the alphabet's size that a byte can hold; bytes
    // at or above it are rejected.
    constexpr unsigned limit = 256 / alphabetSize * alphabetSize;
    std::string token;
    std::array<std::byte, 32> pool{};
    std::size_t used = pool.size();
    while (token.size() < kShareTokenLength) {
        if (used == pool.size()) {
            random.fill(pool);
            used = 0;
        }
        const auto value = std::to_integer<unsigned>(pool[used++]);
        if (value < limit) token += kShareTokenAlphabet[value % alphabetSize];
    }
    return token;
}

}  // namespace kd
