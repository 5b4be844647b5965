#pragma once

// What an AirPlay receiver says about itself when asked for "/info".

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http_client.h"
#include "platform/scheduler.h"

namespace kd {

inline constexpr std::chrono::seconds kAirPlayInfoTimeout{3};
inline constexpr std::size_t kMaxAirPlayInfoBytes = std::size_t{1} << 20;

struct AirPlayInfo {
    std::optional<std::string> model;          // "model"
    std::optional<std::string> hdrCapability;  // "receiverHDRCapability"
    bool supportsScreen = false;               // bit 7 of the integer "features"
    std::optional<std::string> osBuild;        // "osBuildVersion"
    std::optional<std::string> sourceVersion;  // "sourceVersion"
    friend bool operator==(const AirPlayInfo&, const AirPlayInfo&) = default;
};

// The reply to "/info" as a property list in binary or XML form. Nothing
// when it is not one, or its top level is not a dictionary. Each text field
// is taken only when its value is UTF-8 text; `supportsScreen` only from an
// integer.
std::optional<AirPlayInfo> parseAirPlayInfo(std::string_view bytes);

// True for a host name that can go into an address as it is: letters,
// digits, "-" and "." only, and not empty.
bool isPlainHostName(std::string_view host);

// Asks the receiver at `host`:`port` for "/info": one GET with a 3-second
// timeout and a reply of at most 1 MB, sent from a background queue; the
// HTTP status is not looked at.
//
// Call it on the main thread. `done` is called exactly once, on the main
// queue and never before this returns: with nothing at once for a host that
// is not a plain host name or a port outside 1...65535, otherwise when the
// answer is in. `http` and `scheduler` must outlive the request.
void fetchAirPlayInfo(HttpClient& http, Scheduler& scheduler, const std::string& host, int port,
                      std::function<void(std::optional<AirPlayInfo>)> done);

}  // namespace kd
