#include "model/text.h"

#include <unicode/brkiter.h>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

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

std::string lowercasedIgnoringLocale(std::string_view text) {
    return utf8Of(unicodeOf(text).toLower(icu::Locale::getRoot()));
}

std::string trimmed(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t next = start;
        UChar32 c = 0;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || !u_isUWhiteSpace(c)) break;
        start = next;
    }
    std::int32_t end = length;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 c = 0;
        U8_PREV(bytes, start, previous, c);
        if (c < 0 || !u_isUWhiteSpace(c)) break;
        end = previous;
    }
    return std::string(text.substr(start, end - start));
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return false;
    return lowercased(haystack).find(lowercased(needle)) != std::string::npos;
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

struct CaseInsensitiveOrder::Collation {
    std::unique_ptr<icu::Collator> collator;
};

namespace {

// A "C" or "POSIX" environment gives ICU the POSIX variant, whose collation
// orders by code point with every capital first, so case would decide the
// order after all; its language and country alone sort as people do.
icu::Locale collationLocale() {
    const icu::Locale& user = icu::Locale::getDefault();
    if (std::string_view(user.getVariant()) != "POSIX") return user;
    return icu::Locale(user.getLanguage(), user.getCountry());
}

}  // namespace

CaseInsensitiveOrder::CaseInsensitiveOrder() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(collationLocale(), status));
    if (U_FAILURE(status) || !collator) {
        throw std::runtime_error(std::string("no collation for the locale: ") +
                                 u_errorName(status));
    }
    // Secondary strength: letters, then accents; case never.
    collator->setStrength(icu::Collator::SECONDARY);
    collation_ = std::make_shared<const Collation>(Collation{std::move(collator)});
}

bool CaseInsensitiveOrder::operator()(std::string_view a, std::string_view b) const {
    UErrorCode status = U_ZERO_ERROR;
    const auto order = collation_->collator->compareUTF8(
        icu::StringPiece(a.data(), static_cast<std::int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<std::int32_t>(b.size())), status);
    return U_SUCCESS(status) && order == UCOL_LESS;
}

}  // namespace kd
