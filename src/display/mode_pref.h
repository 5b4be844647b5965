#pragma once

// A pinned mode and its stored form: a compact JSON object with the integers
// "width", "height", "refresh" and the Boolean "hidpi". Reading is strict
// about those four keys: one missing, or of another JSON type (1 is not a
// Boolean, 3.5 is not an integer, 2^40 is not an int), and the whole value
// is unreadable. Other keys are ignored. Pure functions.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

struct ModePref {
    int width = 0;  // points
    int height = 0;
    bool hidpi = false;
    int refresh = 0;  // hertz
    friend bool operator==(const ModePref&, const ModePref&) = default;
};

// "3840 × 2160 HiDPI · 60 Hz": how a preference reads in reports.
std::string toString(const ModePref& pref);

std::string encodeModePref(const ModePref& pref);
std::optional<ModePref> decodeModePref(std::string_view json);

// A JSON array of the objects above, in order. Decoding fails as a whole when
// any element does not decode.
std::string encodeModePrefs(const std::vector<ModePref>& prefs);
std::optional<std::vector<ModePref>> decodeModePrefs(std::string_view json);

}  // namespace kd
