#include <gtest/gtest.h>

#include <unicode/locid.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/text.h"

namespace kd {
namespace {

TEST(TextTest, LowerCasingCoversEveryScriptNotJustASCII) {
    EXPECT_EQ(lowercased("ГОСТИНАЯ"), "гостиная");
    EXPECT_EQ(lowercased("Living Room TV"), "living room tv");
    EXPECT_EQ(lowercased("ÉCRAN Ärger"), "écran ärger");
    EXPECT_EQ(lowercased(""), "");
}

TEST(TextTest, UpperCasingIgnoresTheLocale) {
    EXPECT_EQ(uppercased("aa:bb:cc:dd:ee:ff"), "AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(uppercased("гостиная straße"), "ГОСТИНАЯ STRASSE");

    // Under a Turkish locale a locale-aware "i" becomes a dotted capital.
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale before = icu::Locale::getDefault();
    icu::Locale::setDefault(icu::Locale("tr", "TR"), status);
    ASSERT_TRUE(U_SUCCESS(status));
    const std::string upper = uppercased("pi-id");
    icu::Locale::setDefault(before, status);
    EXPECT_EQ(upper, "PI-ID");
}

TEST(TextTest, ContainmentIgnoresCaseInAnyScript) {
    struct Case {
        const char* haystack;
        const char* needle;
        bool contained;
    };
    const Case cases[] = {
        {"Sidecar Display (AirPlay)", "sidecar", true},
        {"Sidecar Display (AirPlay)", "AIRPLAY", true},
        {"Гостиная (AirPlay)", "гостиная", true},
        {"гостиная", "ГОСТИНАЯ", true},
        {"DELL U2720Q", "airplay", false},
        {"TV", "Living Room TV", false},  // the needle must fit in the haystack
        {"anything", "", false},          // a blank name matches nothing
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(containsIgnoringCase(c.haystack, c.needle), c.contained)
            << '"' << c.haystack << "\" / \"" << c.needle << '"';
    }
}

TEST(TextTest, MalformedBytesAreReadNotTrusted) {
    const std::string broken = "TV\xff\xfe";
    EXPECT_EQ(lowercased(broken), "tv\uFFFD\uFFFD");
    EXPECT_TRUE(containsIgnoringCase(broken, "tv"));
}

TEST(TextTest, ACharacterCountNeverCutsALetterInTwo) {
    EXPECT_EQ(firstCharacters("Гостиная", 3), "Гос");
    EXPECT_EQ(firstCharacters("e\u0301te\u0301", 2), "e\u0301t")
        << "a letter and its accent count once";
    EXPECT_EQ(firstCharacters("\U0001F44D\U0001F3FD ok", 1), "\U0001F44D\U0001F3FD");
    EXPECT_EQ(firstCharacters("short", 80), "short");
    EXPECT_EQ(firstCharacters("en_US", 2), "en");
}

TEST(TextTest, TrimmingTakesEveryKindOfSpaceFromTheEndsOnly) {
    EXPECT_EQ(trimmed("  Jane \n"), "Jane");
    EXPECT_EQ(trimmed("\t\r\n\u00A0\u2028Jane Doe\u3000\u0085"), "Jane Doe");
    EXPECT_EQ(trimmed("Гостиная"), "Гостиная");
    EXPECT_EQ(trimmed(" \u00A0 "), "");
    EXPECT_EQ(trimmed(""), "");
    // Malformed bytes are not space: they stay, and so does what they guard.
    EXPECT_EQ(trimmed(" \xff x \xfe "), "\xff x \xfe");
}

TEST(TextTest, LocaleFreeLowerCasingKeepsTheDottedI) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale before = icu::Locale::getDefault();
    icu::Locale::setDefault(icu::Locale("tr", "TR"), status);
    ASSERT_TRUE(U_SUCCESS(status));
    const std::string lower = lowercasedIgnoringLocale("INFO@ÉCRAN.EXAMPLE");
    icu::Locale::setDefault(before, status);
    EXPECT_EQ(lower, "info@écran.example");
}

// Sorted with an order made while the default locale is `locale`.
std::vector<std::string> sortedUnder(const icu::Locale& locale, std::vector<std::string> names) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale before = icu::Locale::getDefault();
    icu::Locale::setDefault(locale, status);
    const CaseInsensitiveOrder order;
    icu::Locale::setDefault(before, status);
    std::sort(names.begin(), names.end(), order);
    return names;
}

TEST(TextTest, NamesSortAlphabeticallyWhateverTheirCase) {
    const std::vector<std::string> names = {"zimbabwe", "Åland Islands", "Albania",
                                            "bahamas",  "Belgium",       "ALGERIA"};
    const std::vector<std::string> alphabetical = {"Åland Islands", "Albania", "ALGERIA",
                                                   "bahamas",       "Belgium", "zimbabwe"};
    EXPECT_EQ(sortedUnder(icu::Locale("en", "US"), names), alphabetical);
    // What a "C" environment gives: its code-point collation would put every
    // capital before every small letter.
    EXPECT_EQ(sortedUnder(icu::Locale("en", "US", "POSIX"), names), alphabetical);
    const CaseInsensitiveOrder order;
    EXPECT_FALSE(order("Jane", "JANE"));
    EXPECT_FALSE(order("JANE", "Jane"));
}

}  // namespace
}  // namespace kd
