#include "model/user_locale.h"

#include <unicode/locid.h>

namespace kd {

std::string userLocaleIdentifier() {
    const icu::Locale& locale = icu::Locale::getDefault();
    const std::string language = locale.getLanguage();
    const std::string region = locale.getCountry();
    if (language.empty()) return "en_US";
    return region.empty() ? language : language + "_" + region;
}

}  // namespace kd
