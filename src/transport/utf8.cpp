#include "transport/utf8.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace kd {

bool isValidUtf8(std::string_view bytes) {
    const auto* text = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int64_t>(bytes.size());
    std::int64_t at = 0;
    while (at < length) {
        UChar32 c = 0;
        U8_NEXT(text, at, length, c);
        if (c < 0) return false;
    }
    return true;
}

}  // namespace kd
