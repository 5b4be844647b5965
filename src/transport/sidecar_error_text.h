#pragma once

// The one-line sentence for a Sidecar failure, from the error's numeric code
// alone (its domain is not consulted). Codes with a known cause are explained
// in words that say what to do; any other code is shown with Sidecar's own
// reason.

#include <cstdint>
#include <optional>
#include <string>

namespace kd {

// `failureReason` is the error's localized failure reason, when it has one;
// `description` its localized description, used when it has none.
std::string sidecarErrorText(std::int64_t code, const std::optional<std::string>& failureReason,
                             const std::string& description);

}  // namespace kd
