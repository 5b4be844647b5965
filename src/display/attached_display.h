#pragma once

// One active screen as the topology sees it.

#include <string>

#include "platform/display_services.h"

namespace kd {

struct AttachedDisplay {
    DisplayID id = 0;
    std::string name;  // the system's localised name
    bool builtIn = false;
    int width = 0;  // frame size in points, truncated toward zero
    int height = 0;

    friend bool operator==(const AttachedDisplay&, const AttachedDisplay&) = default;
};

}  // namespace kd
