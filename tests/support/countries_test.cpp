#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "model/text.h"
#include "support/countries.h"

namespace kd {
namespace {

const Country* findCountry(const std::string& code) {
    const auto& list = countries();
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const Country& country) { return country.code == code; });
    return found == list.end() ? nullptr : &*found;
}

TEST(CountriesTest, EveryCountryOnceWithATwoLetterCodeAndAnEnglishName) {
    const auto& list = countries();
    EXPECT_GT(list.size(), 150u);
    std::set<std::string> codes;
    for (const auto& country : list) {
        EXPECT_EQ(country.code.size(), 2u) << country.code;
        EXPECT_TRUE(std::all_of(country.code.begin(), country.code.end(), [](char c) {
            return c >= 'A' && c <= 'Z';
        })) << country.code;
        EXPECT_FALSE(country.name.empty()) << country.code;
        EXPECT_NE(country.name, country.code);
        EXPECT_TRUE(codes.insert(country.code).second) << country.code << " twice";
    }
    ASSERT_NE(findCountry("US"), nullptr);
    EXPECT_EQ(findCountry("US")->name, "United States");
    // Regions holding others, and the unknown region, are no country.
    for (const char* grouping : {"EU", "UN", "QO", "ZZ"}) {
        EXPECT_EQ(findCountry(grouping), nullptr) << grouping;
    }
}

TEST(CountriesTest, SortedAlphabeticallyByNameAsPeopleReadThem) {
    const auto& list = countries();
    const CaseInsensitiveOrder order;
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_FALSE(order(list[i].name, list[i - 1].name))
            << list[i - 1].name << " before " << list[i].name;
    }
    // An accented first letter sorts with its letter, not after "Z".
    const auto position = [&](const char* code) {
        return std::find_if(list.begin(), list.end(),
                            [&](const Country& country) { return country.code == code; }) -
               list.begin();
    };
    EXPECT_LT(position("AX"), position("AL"));  // Åland Islands, Albania
    EXPECT_LT(position("RE"), position("RO"));  // Réunion, Romania
    EXPECT_EQ(list.front().code, "AF");         // Afghanistan
}

TEST(CountriesTest, ACodeWithoutANameIsItsOwnName) {
    EXPECT_EQ(countryName("US"), "United States");
    EXPECT_EQ(countryName("JP"), "Japan");
    EXPECT_EQ(countryName("QQ"), "QQ");
    EXPECT_EQ(countryName(""), "");
}

}  // namespace
}  // namespace kd
