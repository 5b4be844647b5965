#pragma once

// What one look at the feed found, and the line the settings show for it.
// Pure: the controller fetches, these read.

#include <optional>
#include <string>

#include "platform/http_client.h"

namespace kd {

inline constexpr const char* kCheckingForUpdatesText = "Checking for updates\u2026";
inline constexpr const char* kUpToDateText = "You're up to date";
inline constexpr const char* kFeedUnreachableText =
    "Couldn't reach the update server \u2014 check your network connection and try again.";
inline constexpr const char* kFeedUnreadableText =
    "The update feed couldn't be read \u2014 try again later.";
inline constexpr const char* kFeedEmptyText =
    "The update feed lists no versions \u2014 try again later.";

struct UpdateCheckResult {
    enum class Kind {
        available,    // `version` is newer than the running program
        upToDate,     // the newest listed is not newer
        unreachable,  // no answer in time, or no usable address
        httpError,    // the server answered with `httpStatus` instead of the feed
        unreadable,   // not an appcast
        empty,        // an appcast that names no version
    };
    Kind kind;
    std::string version = {};  // the newest listed, as people are shown it
    long httpStatus = 0;
    friend bool operator==(const UpdateCheckResult&, const UpdateCheckResult&) = default;
};

// Reads the server's answer (nothing when none came) against the running
// program's version.
UpdateCheckResult readFeedAnswer(const std::optional<HttpResponse>& answer,
                                 const std::string& currentVersion);

// One line: "Kelvane Display 1.4 is available", kUpToDateText, or what went
// wrong and what to do about it.
std::string updateStatusLine(const UpdateCheckResult& result);

}  // namespace kd
