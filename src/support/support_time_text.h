#pragma once

// How a message's time reads in the conversation: "HH:mm" for today,
// "d MMM, HH:mm" for any other day, in the user's locale and time zone.

#include <optional>
#include <string>

#include "support/support_dates.h"

namespace kd {

struct SupportClockSetting {
    std::string localeIdentifier;    // "en_US"
    std::string timeZoneIdentifier;  // "Europe/Berlin"; an unknown one reads as UTC
};

// Empty for a message whose stamp could not be read.
std::string supportTimeText(const std::optional<SupportTime>& date, SupportTime now,
                            const SupportClockSetting& setting);

}  // namespace kd
