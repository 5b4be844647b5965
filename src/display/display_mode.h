#pragma once

// One mode of a screen as the topology offers it to people, and the texts that
// name it. Plain values; no port is touched here.

#include <cstdint>
#include <string>

#include "platform/display_services.h"

namespace kd {

struct DisplayMode {
    std::int32_t id = 0;  // the system's mode identifier
    int width = 0;        // points: the size the desktop looks like
    int height = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int refresh = 0;         // hertz, truncated toward zero; 0 when the system reports none
    bool hidpi = false;      // width < pixelWidth
    SystemDisplayMode mode;  // the handle that switches to this mode

    // "1920 × 1080" with " HiDPI" appended for a HiDPI mode.
    std::string sizeLabel() const;
    // sizeLabel, then " · 60 Hz" when the refresh is known.
    std::string label() const;

    // A mode is the same mode at the same refresh, whatever else differs.
    friend bool operator==(const DisplayMode& a, const DisplayMode& b) {
        return a.id == b.id && a.refresh == b.refresh;
    }
};

// One resolution choice of the device settings.
struct ResOption {
    int w = 0;  // points
    int h = 0;
    bool hidpi = false;
    friend bool operator==(const ResOption&, const ResOption&) = default;
};

// The mode as the window server describes it, with its derived fields.
// A refresh rate that is not a finite number in int range counts as none.
DisplayMode displayModeFrom(const SystemDisplayMode& system);

// "W × H", with " HiDPI" when `hidpi`: the one place the size text is spelt.
std::string sizeLabel(int width, int height, bool hidpi);

}  // namespace kd
