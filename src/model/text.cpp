#include "model/text.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace kd {

std::string lowercased(std::string_view text) {
    auto unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.toLower(icu::Locale::getDefault());
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return false;
    return lowercased(haystack).find(lowercased(needle)) != std::string::npos;
}

}  // namespace kd
