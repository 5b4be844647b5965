#pragma once

// Moves an extended screen to a side of the Mac and switches mirroring.
//
// Contract: may run on any thread (callers keep it off the main thread, as it
// reconfigures the window server). Each change is one configuration
// transaction, made permanent; a failed transaction changes nothing and
// answers false. Where `display` is absent the first external display is
// meant; without one, nothing happens and the answer is false.
//
// The screen is placed against the Mac's own panel: the first online display
// that is built in. A Mac with no panel online (a desktop Mac, a laptop with
// its lid shut) uses its main screen instead, the active screen at the origin,
// provided that is neither the screen being moved nor the virtual display.

#include <optional>

#include "display/side.h"
#include "display/virtual_display_identity.h"
#include "platform/display_services.h"

namespace kd {

// Left and right: beside the panel, bottom edges level. Top: centred over the
// panel, resting on its top edge.
bool arrange(DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay, Side side,
             std::optional<DisplayID> display = std::nullopt);

// True when the screen mirrors any display.
bool isMirrored(const DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay,
                std::optional<DisplayID> display = std::nullopt);

// `mirror` true: the screen mirrors the panel; false: it mirrors nothing.
bool setMirror(DisplayServices& displays, const VirtualDisplayIdentity& virtualDisplay, bool mirror,
               std::optional<DisplayID> display = std::nullopt);

}  // namespace kd
