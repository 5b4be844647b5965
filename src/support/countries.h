#pragma once

// The countries the contact card offers, named in English whatever the
// user's language, so the card reads the same to the people answering it.

#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The locale every country name is given in.
inline constexpr const char* kEnglishLocale = "en_US";

struct Country {
    std::string code;  // ISO 3166 two-letter region code, "US"
    std::string name;  // in English, "United States"

    friend bool operator==(const Country&, const Country&) = default;
};

// Every ISO region without sub-regions that has an English name, in the
// user's alphabetical order of those names, case set aside. Computed on
// first use, then shared; any thread may read it.
const std::vector<Country>& countries();

// The English name of `code`, or `code` itself when it names no region.
std::string countryName(std::string_view code);

}  // namespace kd
