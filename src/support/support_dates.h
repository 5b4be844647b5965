#pragma once

// The time stamps the support service writes, and the one this program
// writes on messages it has not yet sent.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kd {

using SupportTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Tries, in order: an internet date-time with fractional seconds
// (2024-05-01T12:30:05.123Z), one without (2024-05-01T12:30:05Z, or with an
// offset such as +02:00 in place of Z), and "2024-05-01 12:30:05" read as UTC.
// Fractions finer than a millisecond are dropped.
std::optional<SupportTime> parseSupportDate(std::string_view text);

// An internet date-time in UTC, whole seconds: 2024-05-01T12:30:05Z.
std::string supportTimestamp(std::chrono::sys_seconds time);

}  // namespace kd
