#pragma once

// The virtual display's settings as the user-defaults store keeps them, with
// the fallbacks a fresh or damaged store reads as, and this installation's
// serial number.
//
// Contract: callable from any thread; nothing is held here.

#include <array>
#include <cstdint>
#include <functional>

#include "platform/preferences.h"

namespace kd {

inline constexpr const char* kVirtualWidthKey = "vd.width";
inline constexpr const char* kVirtualHeightKey = "vd.height";
inline constexpr const char* kVirtualRefreshKey = "vd.refresh";
inline constexpr const char* kVirtualHiDPIKey = "vd.hidpi";
inline constexpr const char* kVirtualInstallIDKey = "vd.installID";

// The only refresh rates the system allows a virtual display, in the order offered.
inline constexpr std::array<int, 2> usableRefreshRates{60, 50};

// The sizes the settings editors accept.
inline constexpr int kVirtualMinWidth = 320;
inline constexpr int kVirtualMinHeight = 240;
inline constexpr int kVirtualMaxSide = 16384;

struct VirtualSettings {
    int width = 1920;
    int height = 1080;
    int refresh = 60;
    bool hidpi = true;
    friend bool operator==(const VirtualSettings&, const VirtualSettings&) = default;
};

// A side that is missing, 0, or outside what the editors accept reads as
// the default, so a damaged store can never ask for a display too large to
// describe; a refresh rate other than a usable one reads as 60; a Retina
// setting that is not a Boolean reads as on.
VirtualSettings loadVirtualSettings(const PreferenceReader& defaults);

// This installation's serial number, 1 to 2147483647: the stored one, or a
// new one drawn uniformly with `draw` (0 to 2147483646, plus one) and
// stored.
using SerialDraw = std::function<std::uint32_t()>;
std::uint32_t installID(Preferences& defaults, const SerialDraw& draw);
// Draws from the system's random source.
std::uint32_t drawSerial();

}  // namespace kd
