#pragma once

// The panes of the system's settings the dock sends people to.

namespace kd {

inline constexpr const char* kDisplaysSettingsURL =
    "x-apple.systempreferences:com.apple.Displays-Settings.extension";
inline constexpr const char* kAccessibilitySettingsURL =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

}  // namespace kd
