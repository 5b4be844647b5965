#pragma once

// Case-insensitive text matching that follows the user's locale, so that
// "ГОСТИНАЯ" and "Гостиная" are the same name. Text is UTF-8 throughout;
// malformed bytes are read as U+FFFD rather than rejected.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kd {

// Full Unicode lower-casing in the default locale.
std::string lowercased(std::string_view text);

// Full Unicode upper-casing without regard to the locale, for identifiers
// that must read the same on every Mac (a Turkish "i" stays "I").
std::string uppercased(std::string_view text);

// Full Unicode lower-casing without regard to the locale, for text such as
// e-mail addresses whose meaning must not change with the user's language.
std::string lowercasedIgnoringLocale(std::string_view text);

// `text` without the Unicode white space and line breaks at either end.
std::string trimmed(std::string_view text);

// True when `needle`, lower-cased, occurs in `haystack`, lower-cased. An empty
// needle occurs nowhere, so a blank name never matches every screen.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// The first `count` characters of `text` as a reader counts them (user-
// perceived characters, so an emoji or an accented letter is never cut in
// two); all of it when it is shorter.
std::string firstCharacters(std::string_view text, std::size_t count);

// The user's alphabetical order with case set aside, for sorting names: a
// strict weak order, so std::sort may use it. Accents still count after the
// letters ("Åland" sorts with the A's). Copies share one collation, fixed by
// the locale in force when the first was made; any thread may compare.
class CaseInsensitiveOrder {
  public:
    CaseInsensitiveOrder();
    bool operator()(std::string_view a, std::string_view b) const;

  private:
    struct Collation;
    std::shared_ptr<const Collation> collation_;
};

}  // namespace kd
