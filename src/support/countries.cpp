#include "support/countries.h"

#include <unicode/locid.h>
#include <unicode/region.h>
#include <unicode/strenum.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "model/text.h"

namespace kd {

namespace {

// The English name ICU has for the region `code`; none when it only echoes
// the code back.
std::optional<std::string> englishName(const std::string& code) {
    icu::UnicodeString name;
    icu::Locale("", code.c_str()).getDisplayCountry(icu::Locale(kEnglishLocale), name);
    std::string utf8;
    name.toUTF8String(utf8);
    if (utf8.empty() || utf8 == code) return std::nullopt;
    return utf8;
}

// Continents and groupings such as the European Union contain other regions.
bool hasSubRegions(const char* code) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Region* region = icu::Region::getInstance(code, status);
    if (U_FAILURE(status) || !region) return false;
    const std::unique_ptr<icu::StringEnumeration> contained(region->getContainedRegions(status));
    return U_SUCCESS(status) && contained && contained->count(status) > 0;
}

std::vector<Country> listCountries() {
    std::vector<Country> list;
    for (const char* const* code = icu::Locale::getISOCountries(); *code; ++code) {
        const std::string text(*code);
        if (text.size() != 2 || hasSubRegions(*code)) continue;
        if (auto name = englishName(text)) list.push_back({text, std::move(*name)});
    }
    const CaseInsensitiveOrder order;
    std::stable_sort(list.begin(), list.end(), [&order](const Country& a, const Country& b) {
        return order(a.name, b.name);
    });
    return list;
}

}  // namespace

const std::vector<Country>& countries() {
    static const std::vector<Country> list = listCountries();
    return list;
}

std::string countryName(std::string_view code) {
    const std::string text(code);
    return englishName(text).value_or(text);
}

}  // namespace kd
