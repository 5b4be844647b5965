#pragma once

// What the user's setup looks like, sent with a support message when the
// user allows it: readable text appended to the message, and a small record
// for a new ticket. The support window shows the same text, so the user sees
// exactly what goes out.

#include <optional>
#include <string>
#include <vector>

#include "support/support_client.h"

namespace kd {

class DockState;
struct Device;
class DisplayServices;
class VirtualDisplayHost;

// "Apple TV AppleTV14,1": the kind, then the model when there is one.
std::string supportDeviceEntry(const Device& device);

struct SupportDiagnostics {
    std::string appVersion;  // "?" when the program does not know its own
    std::string osVersion;   // "macOS 14.5.0"
    std::string mac;         // the label under this Mac in the main window
    int screens = 0;
    std::vector<std::string> devices;  // "Apple TV AppleTV14,1", in the scanner's order
    std::string virtualDisplay;        // "off", its mode text, or "on"

    // Gathered fresh from the controllers, on the main thread.
    // `appVersion` absent reads as "?".
    static SupportDiagnostics current(const DockState& state, const VirtualDisplayHost* host,
                                      const DisplayServices& displays,
                                      const std::optional<std::string>& appVersion,
                                      const std::string& osVersion);

    // The lines a person reads, without a final line break.
    std::string text() const;
    SupportTicketDiagnostics payload() const;

    friend bool operator==(const SupportDiagnostics&, const SupportDiagnostics&) = default;
};

}  // namespace kd
