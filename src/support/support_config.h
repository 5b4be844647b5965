#pragma once

// Where the support service lives and who this installation is to it. Every
// value is read afresh from the user-defaults store, so a change of address
// or key counts from the next request on.

#include <chrono>
#include <optional>
#include <string>

#include "platform/preferences.h"
#include "platform/secure_random.h"

namespace kd::SupportConfig {

inline constexpr const char* baseDefaultsKey = "SupportBaseURL";
inline constexpr const char* apiKeyDefaultsKey = "SupportAPIKey";
inline constexpr const char* tokenDefaultsKey = "SupportTicketToken";
inline constexpr const char* deviceIDDefaultsKey = "SupportDeviceID";

// Reserved names, so a build that was never configured contacts nobody.
inline constexpr const char* builtInBaseURL = "https://support.kelvane.example/display/";
inline constexpr const char* supportEmail = "support@kelvane.example";

inline constexpr std::chrono::seconds requestTimeout{30};

// The stored address, else the built-in one; absent when it is not an
// absolute http or https address.
std::optional<std::string> baseURL(const PreferenceReader& defaults);

// The stored identifier when there is a non-empty one; otherwise a new random
// UUID in upper case, stored before it is returned.
std::string deviceID(Preferences& defaults, SecureRandom& random);

// The API key when a non-empty one is stored.
std::optional<std::string> apiKey(const PreferenceReader& defaults);

}  // namespace kd::SupportConfig
