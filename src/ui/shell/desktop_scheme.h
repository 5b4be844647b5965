#pragma once

// Whether the desktop asks for dark windows. Qt 6.4 has no colour-scheme
// API, so "auto" reads what the desktop says where it says something.

#include <optional>
#include <string>

namespace kd {

// `colorScheme` is the output of `gsettings get org.gnome.desktop.interface
// color-scheme` ("'prefer-dark'\n"), when there was one; it decides when it
// names a preference. Otherwise the palette the desktop gave the
// application decides by its window colour's lightness (0 to 255); without
// either, light.
bool desktopPrefersDark(const std::optional<std::string>& colorScheme,
                        std::optional<int> paletteWindowLightness);

// Asks gsettings, waiting at most a second; none when it is not installed,
// fails or is too slow.
std::optional<std::string> readGnomeColorScheme();

}  // namespace kd
