#pragma once

// The pieces of a support request that depend on nothing but their input.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/http_client.h"
#include "support/support_error.h"

namespace kd {

// `path` appended to `base` as further path components; characters a path
// cannot carry as they are (space, "?", "#", "%", non-ASCII…) are
// percent-encoded, so a token can never reach into the query.
std::string appendSupportPath(std::string base, std::string_view path);

// Standard Base64 with padding and no line breaks.
std::string base64(std::span<const std::uint8_t> bytes);

// The failure an answer stands for, if any: no answer is a network failure,
// 404 is `gone`, and any other status outside 200–299 a server failure
// carrying the "error" of its body when the body has one.
std::optional<SupportError> supportFailure(const std::optional<HttpResponse>& response);

inline constexpr const char* kMalformedSupportReply = "Malformed reply from the support service";

}  // namespace kd
