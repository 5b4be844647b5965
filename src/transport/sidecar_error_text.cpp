#include "transport/sidecar_error_text.h"

namespace kd {

std::string sidecarErrorText(std::int64_t code, const std::optional<std::string>& failureReason,
                             const std::string& description) {
    switch (code) {
        case -100:
            return "The iPad is still busy with the previous connection \u2014 give it a few "
                   "seconds";
        case -203:
            return "The iPad is locked or asleep \u2014 unlock it and try again";
        case -204:
            return "The iPad is out of range or Wi-Fi is off on it";
        case -205:
            return "The iPad is already connected to another Mac";
        case -206:
            return "This iPad doesn't support Sidecar";
        case -207:
            return "Sign in with the same Apple Account on both devices";
        case -401:
            return "The iPad refused these display settings \u2014 try the native resolution at "
                   "60 Hz";
        case -453:
            // Sidecar cannot start beside a running AirPlay screen, but an
            // AirPlay screen can join Sidecar: the order is the whole answer.
            return "Sidecar can't start while an AirPlay screen is running \u2014 disconnect it, "
                   "connect the iPad, then bring it back";
        case -6745:
            return "Blocked by the firewall \u2014 allow incoming connections for Kelvane Display";
        default:
            break;
    }
    // An empty reason would leave the sentence hanging on its colon.
    const bool hasReason = failureReason.has_value() && !failureReason->empty();
    return "Sidecar refused the connection (" + std::to_string(code) +
           "): " + (hasReason ? *failureReason : description);
}

}  // namespace kd
