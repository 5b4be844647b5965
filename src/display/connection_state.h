#pragma once

// Which devices are connected, which of those mirror rather than extend, and
// which screen each connected device has when that screen is known.

#include <map>
#include <set>
#include <string>

#include "platform/display_services.h"

namespace kd {

struct ConnectionState {
    std::set<std::string> connected;           // device ids
    std::set<std::string> mirroring;           // always a subset of `connected`
    std::map<std::string, DisplayID> screens;  // device id to display id

    friend bool operator==(const ConnectionState&, const ConnectionState&) = default;
};

}  // namespace kd
