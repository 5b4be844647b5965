#pragma once

// What the simulated receiver answers over HTTP.

#include <cstdint>
#include <string>
#include <string_view>

#include "options.h"

namespace kd::receiver {

// The TXT "features" text as one number: the first piece the low 32 bits,
// the second the high ones, each hexadecimal with or without "0x".
std::uint64_t combinedFeatures(std::string_view txtFeatures);

// The binary property list that GET /info returns.
std::string infoBody(const Options& options);

// The whole HTTP answer to a request whose head (up to the blank line) is
// `head`: the info for GET /info, 404 for anything else.
std::string answerTo(std::string_view head, const std::string& info);

}  // namespace kd::receiver
