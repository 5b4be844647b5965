#pragma once

// The virtual display's sizes, as pure functions.

#include <string>
#include <vector>

#include "platform/display_services.h"

namespace kd {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The modes offered to the system for a chosen size: with Retina on first
// the half size (each side halved, then rounded down to even), then the size
// itself, then 85 % and 75 % of it rounded to even sides, each only when it
// is at least 320 × 240 and not offered already.
std::vector<PixelSize> virtualModeLadder(int width, int height, bool hidpi);

// The physical size the system is told, at 110 pixels per inch.
double millimetresAt110PerInch(int pixels);

// What the system really runs, such as "1920×1080" or, when the logical
// width is below the pixel width, "1920×1080 · Retina 3840×2160".
std::string actualModeText(const SystemDisplayMode& mode);

}  // namespace kd
