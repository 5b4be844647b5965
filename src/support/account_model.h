#pragma once

// The user's contact card: first and last name, e-mail address and country,
// entered once so that support can answer by mail. It is either a form (not
// registered) or a card (registered); `registerCard` turns the form into the
// card and `edit` turns it back.
//
// Contract:
// - Main thread only: every member is called there and every published
//   field changes there.
// - The store is read once, at creation, and written the moment the card is
//   registered or the launch prompt is used up. It must outlive the model.
// - Any store will do: the user's own defaults, or one a caller keeps apart.

#include <string>
#include <string_view>

#include "model/published.h"
#include "platform/preferences.h"

namespace kd {

inline constexpr const char* kAccountFirstNameKey = "account.firstName";
inline constexpr const char* kAccountLastNameKey = "account.lastName";
inline constexpr const char* kAccountEmailKey = "account.email";
inline constexpr const char* kAccountCountryKey = "account.country";
inline constexpr const char* kAccountRegisteredKey = "account.registered";
inline constexpr const char* kAccountPromptedKey = "account.prompted";

// Posted, with nothing attached, to open the settings where the card lives:
// once after the first launch that finds no card, and whenever the support
// window's composer asks for the card.
inline constexpr const char* kAccountChangedNotification = "KelvaneDisplay.accountChanged";

// What `problem` says when registering fails, first failing rule only.
inline constexpr const char* kFirstNameProblem = "Your first name, please";
inline constexpr const char* kEmailProblem = "That doesn't look like an email address";
inline constexpr const char* kCountryProblem = "Pick your country";

class AccountModel {
  public:
    // `localeIdentifier` is the user's, such as "en_US"; its region is the
    // country a new card starts with.
    AccountModel(Preferences& store, std::string localeIdentifier);

    AccountModel(const AccountModel&) = delete;
    AccountModel& operator=(const AccountModel&) = delete;

    Published<std::string> firstName;
    Published<std::string> lastName;
    Published<std::string> email;
    Published<std::string> country;  // ISO 3166 two-letter region code
    // Only a stored card whose address still passes the check counts.
    Published<bool> registered;
    Published<std::string> problem;  // shown under the form; empty when none

    // The names that are not empty, joined with one space.
    std::string fullName() const;
    // The user's region, or "US" when the locale names none.
    std::string homeCountry() const;

    // Trims the names, normalises the address and checks, in order, the
    // first name, the address and the country; the first that fails is the
    // only `problem`, and nothing is stored. On success the card is set,
    // stored and registered, and `problem` is cleared.
    bool registerCard(std::string_view firstName, std::string_view lastName, std::string_view email,
                      std::string_view country);
    // Back to the form, showing the stored values.
    void edit();
    // True once: on the first launch that finds neither a card nor an
    // earlier offer, whether or not the user then fills it in.
    bool shouldPromptOnLaunch();

  private:
    Preferences& store_;
    std::string localeIdentifier_;
};

}  // namespace kd
