#pragma once

// `--share [WIDTHxHEIGHT]`: the virtual display brought up without a window
// and shared with browsers on the network, for a machine with no desktop or
// a user who wants only that. Programs drawn on the display's X screen
// appear in the browser.

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "main/arguments.h"
#include "platform/platform.h"
#include "platform/qt/qt_event_loop.h"
#include "virtual/virtual_display_host.h"

namespace kd {

struct ShareCommandPorts {
    Platform& platform;
    VirtualDisplayHost& host;
    // The X display showing a display's pixels, when one does.
    std::function<std::optional<std::string>(DisplayID)> xDisplayOf;
    bool xvfbInstalled = false;
};

// Runs until Ctrl+C or SIGTERM: 0 after a clean stop, 1 when the display or
// the share could not start. The addresses go to `out`, one a line, the
// first the one to open; what a person reads (QR code, X display, viewer
// count) goes to `err`.
int runShareCommand(const ShareCommandPorts& ports, QtEventLoop& loop,
                    std::optional<ShareSize> size, std::ostream& out, std::ostream& err);

}  // namespace kd
