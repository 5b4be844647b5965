#include "model/text.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <memory>

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

std::string trimmedWhitespace(std::string_view text) {
    const auto unicode = unicodeOf(text);
    int32_t begin = 0;
    int32_t end = unicode.length();
    while (begin < end && u_isUWhiteSpace(unicode.char32At(begin))) {
        begin = unicode.moveIndex32(begin, 1);
    }
    while (end > begin) {
        const auto last = unicode.moveIndex32(end, -1);
        if (!u_isUWhiteSpace(unicode.char32At(last))) break;
        end = last;
    }
    return utf8Of(unicode.tempSubStringBetween(begin, end));
}

std::string firstCharacters(std::string_view text, std::size_t count) {
    const auto unicode = unicodeOf(text);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) return utf8Of(unicode.tempSubString(0, static_cast<int32_t>(count)));
    characters->setText(unicode);
    int32_t end = characters->first();
    for (std::size_t taken = 0; taken < count; ++taken) {
        const auto next = characters->next();
        if (next == icu::BreakIterator::DONE) break;
        end = next;
    }
    return utf8Of(unicode.tempSubString(0, end));
}

}  // namespace kd
