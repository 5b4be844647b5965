#include "support/account_model.h"

#include <unicode/locid.h>

#include "model/text.h"
#include "support/email_address.h"

namespace kd {

namespace {

bool storedCardIsValid(const Preferences& store) {
    return store.boolValue(kAccountRegisteredKey).value_or(false) &&
           looksLikeEmail(store.text(kAccountEmailKey).value_or(""));
}

std::string regionOr(const std::string& localeIdentifier, const std::string& fallback) {
    const std::string region = icu::Locale(localeIdentifier.c_str()).getCountry();
    return region.empty() ? fallback : region;
}

}  // namespace

AccountModel::AccountModel(Preferences& store, std::string localeIdentifier)
    : firstName(store.text(kAccountFirstNameKey).value_or("")),
      lastName(store.text(kAccountLastNameKey).value_or("")),
      email(store.text(kAccountEmailKey).value_or("")),
      country(store.text(kAccountCountryKey).value_or(regionOr(localeIdentifier, "US"))),
      registered(storedCardIsValid(store)),
      store_(store),
      localeIdentifier_(std::move(localeIdentifier)) {}

std::string AccountModel::fullName() const {
    std::string name = firstName.get();
    if (!name.empty() && !lastName.get().empty()) name += ' ';
    return name + lastName.get();
}

std::string AccountModel::homeCountry() const {
    return regionOr(localeIdentifier_, "US");
}

bool AccountModel::registerCard(std::string_view first, std::string_view last,
                                std::string_view address, std::string_view region) {
    const std::string cleanFirst = trimmed(first);
    const std::string cleanLast = trimmed(last);
    const std::string cleanEmail = normalise(address);
    if (cleanFirst.empty()) {
        problem.set(kFirstNameProblem);
        return false;
    }
    if (!looksLikeEmail(cleanEmail)) {
        problem.set(kEmailProblem);
        return false;
    }
    if (region.empty()) {
        problem.set(kCountryProblem);
        return false;
    }
    // The flag goes last, so a first card cut short on its way to the store
    // comes back as the form, not as a card with missing details.
    store_.set(kAccountFirstNameKey, cleanFirst);
    store_.set(kAccountLastNameKey, cleanLast);
    store_.set(kAccountEmailKey, cleanEmail);
    store_.set(kAccountCountryKey, std::string(region));
    store_.set(kAccountRegisteredKey, true);
    problem.set("");
    firstName.set(cleanFirst);
    lastName.set(cleanLast);
    email.set(cleanEmail);
    country.set(std::string(region));
    registered.set(true);
    return true;
}

void AccountModel::edit() {
    registered.set(false);
    problem.set("");
}

bool AccountModel::shouldPromptOnLaunch() {
    if (registered.get()) return false;
    if (store_.boolValue(kAccountPromptedKey).value_or(false)) return false;
    store_.set(kAccountPromptedKey, true);
    return true;
}

}  // namespace kd
