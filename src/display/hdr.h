#pragma once

// High dynamic range: what a screen can show and shows, read from the screen
// list, and the HDR mode switch of the CoreDisplay framework.
//
// Contract: callable from any thread. Every missing piece (no display id, no
// such active screen, no framework, no symbol) reads as unsupported or off;
// nothing here reports to the user. Symbols are looked up anew on every call
// and never kept.

#include <memory>
#include <optional>

#include "platform/core_display.h"
#include "platform/display_services.h"

namespace kd {

struct HDRState {
    bool capable = false;   // the screen can show extended dynamic range
    bool active = false;    // and does now
    double headroom = 1.0;  // the current maximum component value; 1.0 is none
    friend bool operator==(const HDRState&, const HDRState&) = default;
};

// Nothing unless the display is among the active screens.
std::optional<HDRState> hdrState(const DisplayServices& displays, std::optional<DisplayID> display);

bool hdrModeSupported(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib,
                      std::optional<DisplayID> display);
bool hdrModeEnabled(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib,
                    std::optional<DisplayID> display);

// True only when the mode read back afterwards is the one asked for; a mode
// that cannot be read back counts as off.
bool setHDRMode(const std::shared_ptr<CoreDisplayFramework>& coreDisplayLib, bool enabled,
                std::optional<DisplayID> on);

}  // namespace kd
