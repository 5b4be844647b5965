#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "support/account_model.h"

namespace kd {
namespace {

TEST(AccountModelTest, OnlyTheFirstFailingRuleIsToldAndNothingIsStored) {
    struct Case {
        const char* first;
        const char* email;
        const char* country;
        const char* problem;
    };
    const Case cases[] = {
        {" ", "jane@example.com", "US", kFirstNameProblem},
        {"\n", "jane", "", kFirstNameProblem},  // every rule fails: the first is told
        {"Jane", "jane", "US", kEmailProblem},
        {"Jane", "jane@localhost", "", kEmailProblem},
        {"Jane", "jane@example.com", "", kCountryProblem},
    };
    for (const auto& c : cases) {
        SimPreferences store;
        AccountModel card(store, "en_US");
        EXPECT_FALSE(card.registerCard(c.first, "Doe", c.email, c.country));
        EXPECT_EQ(card.problem.get(), c.problem) << c.first << " / " << c.email;
        EXPECT_FALSE(card.registered.get());
        EXPECT_TRUE(store.all().empty());
    }
}

TEST(AccountModelTest, ARegisteredCardIsStoredCleanedAndClearsTheProblem) {
    SimPreferences store;
    AccountModel card(store, "en_US");
    ASSERT_FALSE(card.registerCard("Jane", "Doe", "jane", "US"));
    ASSERT_TRUE(card.registerCard(" Jane ", " Doe\n", "  Jane.Doe+KD@Example.COM ", "US"));
    EXPECT_TRUE(card.registered.get());
    EXPECT_EQ(card.problem.get(), "");
    EXPECT_EQ(card.fullName(), "Jane Doe");
    EXPECT_EQ(card.email.get(), "jane.doe+kd@example.com");
    EXPECT_EQ(store.all(), (std::map<std::string, PrefValue>{
                               {kAccountFirstNameKey, "Jane"},
                               {kAccountLastNameKey, "Doe"},
                               {kAccountEmailKey, "jane.doe+kd@example.com"},
                               {kAccountCountryKey, "US"},
                               {kAccountRegisteredKey, true},
                           }));
    // A last name may be left out.
    ASSERT_TRUE(card.registerCard("Jane", "  ", "jane@example.com", "US"));
    EXPECT_EQ(card.fullName(), "Jane");
}

TEST(AccountModelTest, WhoeverFollowsRegisteredSeesTheWholeCard) {
    SimPreferences store;
    AccountModel card(store, "en_US");
    std::vector<std::string> seen;
    const auto following = card.registered.subscribe([&](bool registered) {
        seen.push_back((registered ? "card " : "form ") + card.fullName() + " " +
                       store.text(kAccountEmailKey).value_or("-"));
    });
    ASSERT_TRUE(card.registerCard("Jane", "Doe", "Jane@Example.com", "US"));
    // Editing shows the form with everything still there.
    card.edit();
    EXPECT_EQ(seen, (std::vector<std::string>{"card Jane Doe jane@example.com",
                                              "form Jane Doe jane@example.com"}));
}

TEST(AccountModelTest, ARelaunchRestoresTheCardOnlyWhileItsAddressPasses) {
    SimPreferences store;
    {
        AccountModel card(store, "en_US");
        ASSERT_TRUE(card.registerCard("Jane", "Doe", "jane@example.com", "NZ"));
    }
    const AccountModel relaunched(store, "de_DE");  // the stored country wins
    EXPECT_TRUE(relaunched.registered.get());
    EXPECT_EQ(relaunched.fullName(), "Jane Doe");
    EXPECT_EQ(relaunched.country.get(), "NZ");

    // An address stored by an older, looser check comes back as the form,
    // showing what was stored for the user to mend.
    store.set(kAccountEmailKey, "jane@localhost");
    const AccountModel mend(store, "en_US");
    EXPECT_FALSE(mend.registered.get());
    EXPECT_EQ(mend.email.get(), "jane@localhost");
    store.remove(kAccountEmailKey);
    EXPECT_FALSE(AccountModel(store, "en_US").registered.get());
    store.set(kAccountEmailKey, "jane@example.com");
    store.set(kAccountRegisteredKey, "true");  // a flag of the wrong type
    EXPECT_FALSE(AccountModel(store, "en_US").registered.get());
}

TEST(AccountModelTest, TheCardIsOfferedOnceOnTheFirstLaunchThenNever) {
    SimPreferences store;
    AccountModel first(store, "en_US");
    EXPECT_TRUE(first.shouldPromptOnLaunch());
    EXPECT_FALSE(first.shouldPromptOnLaunch());
    EXPECT_FALSE(AccountModel(store, "en_US").shouldPromptOnLaunch());

    SimPreferences registered;
    ASSERT_TRUE(AccountModel(registered, "en_US").registerCard("Jane", "", "j@example.com", "US"));
    EXPECT_FALSE(AccountModel(registered, "en_US").shouldPromptOnLaunch());
}

TEST(AccountModelTest, ANewCardStartsInTheUsersCountry) {
    const std::map<std::string, std::string> cases = {
        {"de_DE", "DE"}, {"en_US.UTF-8", "US"}, {"fr-CA", "CA"}, {"en", "US"}, {"C", "US"}};
    for (const auto& [locale, country] : cases) {
        SimPreferences store;
        EXPECT_EQ(AccountModel(store, locale).country.get(), country) << locale;
    }
}

}  // namespace
}  // namespace kd
