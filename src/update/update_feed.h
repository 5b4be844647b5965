#pragma once

// Where the program looks for newer versions of itself. The address is read
// afresh for every check, so a changed "UpdateFeedURL" counts from the next.

#include <optional>
#include <string>

#include "platform/preferences.h"

namespace kd::UpdateFeed {

// A stored address here replaces the built-in feed, when it is a valid one.
inline constexpr const char* urlDefaultsKey = "UpdateFeedURL";
// Sent with every feed request as the query parameter product=display.
inline constexpr const char* productID = "display";
// On a reserved name, so a build that was never configured contacts nobody.
inline constexpr const char* builtInURL = "https://updates.kelvane.example/display/v1/appcast.xml";

// The address under `urlDefaultsKey` when it is a valid one; otherwise the
// built-in feed.
std::string url(const PreferenceReader& defaults);

// `feed` with the product parameter: any product parameter it carries is
// replaced, every other part of its query is kept as written. Absent when
// `feed` is not a valid address.
std::optional<std::string> requestURL(const std::string& feed);

}  // namespace kd::UpdateFeed
