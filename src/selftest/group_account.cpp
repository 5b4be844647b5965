#include <algorithm>
#include <string>

#include "platform/memory_preferences.h"
#include "selftest/groups.h"
#include "support/account_model.h"
#include "support/countries.h"
#include "support/email_address.h"

namespace kd::groups {

namespace {

// A fixed locale, so the checks read the same on every Mac.
constexpr const char* kCheckLocale = "en_US";

}  // namespace

// The cards here live in stores made for this run: each starts empty, so a
// card or a used-up prompt from an earlier run decides nothing, and the
// user's own card is never read or written.
void testAccount(SelfTest& t, SelfTestContext&) {
    t.equal("email: trimmed and lowercased, nothing more",
            normalise("  Jane.Doe+Display@Example.COM \n"),
            std::string("jane.doe+display@example.com"));
    t.check("email: a bare word is not an address", !looksLikeEmail("jane"));
    t.check("email: a real one is", looksLikeEmail("jane@example.com"));
    t.check("email: a domain without a dot is not", !looksLikeEmail("jane@localhost"));

    const auto& list = countries();
    const auto us = std::find_if(list.begin(), list.end(),
                                 [](const Country& country) { return country.code == "US"; });
    t.check("countries: a real list, named",
            list.size() > 150 && us != list.end() && us->name == "United States", [&] {
                return std::to_string(list.size()) + " countries, " +
                       (us == list.end() ? "no US" : "US named " + us->name);
            });

    MemoryPreferences store;
    AccountModel card(store, kCheckLocale);
    const bool blankName = card.registerCard(" ", "Doe", "jane@example.com", "US");
    t.check("registration needs a first name",
            !blankName && !card.registered.get() && card.problem.get() == kFirstNameProblem,
            [&] { return card.problem.get(); });
    const bool bareWord = card.registerCard("Jane", "Doe", "jane", "US");
    t.check("registration needs a real address",
            !bareWord && !card.registered.get() && card.problem.get() == kEmailProblem,
            [&] { return card.problem.get(); });
    const bool done = card.registerCard(" Jane ", "Doe", "Jane.Doe@Example.com", "US");
    t.check("registration: name, email, country \u2014 done",
            done && card.registered.get() && card.problem.get().empty() &&
                card.fullName() == "Jane Doe" && card.email.get() == "jane.doe@example.com",
            [&] { return card.fullName() + " <" + card.email.get() + "> " + card.problem.get(); });

    const AccountModel relaunched(store, kCheckLocale);
    t.check("registration survives a relaunch",
            relaunched.registered.get() && relaunched.country.get() == "US" &&
                relaunched.fullName() == "Jane Doe",
            [&] { return relaunched.fullName() + " in " + relaunched.country.get(); });

    MemoryPreferences firstLaunchStore;
    AccountModel firstLaunch(firstLaunchStore, kCheckLocale);
    const bool asked = firstLaunch.shouldPromptOnLaunch();
    const bool askedAgain = firstLaunch.shouldPromptOnLaunch();
    const bool askedNextLaunch =
        AccountModel(firstLaunchStore, kCheckLocale).shouldPromptOnLaunch();
    t.check("the card asks once on first launch, then never",
            asked && !askedAgain && !askedNextLaunch, [&] {
                return std::string("asked ") + (asked ? "at first" : "not at first") +
                       (askedAgain ? ", again at once" : "") +
                       (askedNextLaunch ? ", again on the next launch" : "");
            });
}

}  // namespace kd::groups
