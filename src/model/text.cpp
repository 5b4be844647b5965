#include "model/text.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace kd {

namespace {

icu::UnicodeString unicodeOf(std::string_view text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string utf8Of(const icu::UnicodeString& unicode) {
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

}  // namespace

std::string lowercased(std::string_view text) {
    return utf8Of(unicodeOf(text).toLower(icu::Locale::getDefault()));
}

std::string uppercased(std::string_view text) {
    return utf8Of(unicodeOf(text).toUpper(icu::Locale::getRoot()));
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return false;
    return lowercased(haystack).find(lowercased(needle)) != std::string::npos;
}

}  // namespace kd
