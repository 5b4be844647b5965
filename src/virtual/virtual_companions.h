#pragma once

// What the virtual display brings down and back up with it: the browser
// share and the preview window. Their owners fill these in; an empty member
// means that companion does not exist (it is not running, and asking it to
// do something does nothing). Called on the main thread.

#include <functional>

#include "platform/display_services.h"

namespace kd {

struct VirtualCompanions {
    std::function<bool()> isSharing;
    std::function<bool()> isPreviewing;
    std::function<void()> stopSharing;
    std::function<void()> closePreview;
    std::function<void(DisplayID)> startSharing;
    std::function<void(DisplayID)> showPreview;
};

}  // namespace kd
