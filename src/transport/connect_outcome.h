#pragma once

// What a connect attempt came to, and the status line sentence for it. A
// connection that simply worked says nothing.

#include <optional>
#include <string>
#include <string_view>

namespace kd {

enum class ConnectOutcome {
    extended,               // a screen arrived and extends the desktop
    duplicating,            // a screen arrived but mirrors the Mac
    sessionWithoutDisplay,  // connected, but no screen arrived
    notFound,               // no row to press, or the device did not respond
};

// `connected` only counts once the row was found, and `mirroring` only once
// a screen is connected.
ConnectOutcome connectOutcome(bool rowFound, bool connected, bool mirroring);

// `device` is the name as the user knows it, inserted unchanged; `airPlay` is
// false for Sidecar.
std::optional<std::string> outcomeMessage(ConnectOutcome outcome, std::string_view device,
                                          bool airPlay);

}  // namespace kd
