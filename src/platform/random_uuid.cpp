#include "platform/random_uuid.h"

#include <array>
#include <cstddef>

namespace kd {

std::string randomUUID(SecureRandom& random) {
    std::array<std::byte, 16> bytes{};
    random.fill(bytes);
    bytes[6] = (bytes[6] & std::byte{0x0F}) | std::byte{0x40};  // version 4
    bytes[8] = (bytes[8] & std::byte{0x3F}) | std::byte{0x80};  // RFC 4122 variant
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        const auto value = std::to_integer<unsigned>(bytes[i]);
        text += digits[value >> 4];
        text += digits[value & 0xF];
    }
    return text;
}

}  // namespace kd
