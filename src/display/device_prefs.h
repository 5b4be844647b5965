#pragma once

// What is remembered per device, kept only in the user-defaults store so that
// every read sees the latest write from anywhere in the program:
//
//   "mode." + id   data: the JSON of the pinned ModePref
//   "side." + id   text: "left", "right" or "top"
//   "modes." + id  data: the JSON array of the modes offered last time
//
// The id is appended as it is, without separator or escaping. A value that is
// missing, of another type, or does not decode reads as nothing stored.
//
// Contract: callable from any thread; no state is held here.

#include <optional>
#include <string>
#include <vector>

#include "display/display_mode.h"
#include "display/mode_pref.h"
#include "display/side.h"
#include "platform/preferences.h"

namespace kd {

std::string pinnedModeKey(const std::string& deviceID);
std::string sideKey(const std::string& deviceID);
std::string cachedModesKey(const std::string& deviceID);

std::optional<ModePref> savedPref(const PreferenceReader& defaults, const std::string& deviceID);
// Pins `pref`; no preference takes the pin off.
void savePref(Preferences& defaults, const std::optional<ModePref>& pref,
              const std::string& deviceID);

// Only the exact raw values count: "Left" is no side.
std::optional<Side> savedSide(const PreferenceReader& defaults, const std::string& deviceID);
void saveSide(Preferences& defaults, Side side, const std::string& deviceID);

// Keeps the size, HiDPI and refresh of each mode, in order.
void cacheModes(Preferences& defaults, const std::vector<DisplayMode>& modes,
                const std::string& deviceID);
// Empty when nothing readable is cached.
std::vector<ModePref> cachedModes(const PreferenceReader& defaults, const std::string& deviceID);

}  // namespace kd
