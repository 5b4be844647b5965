#pragma once

// The appearance theme the user picks: follow the system, or force dark or
// light. The raw text is the stored form under "theme".

#include <array>
#include <string_view>

#include "platform/appearance.h"

namespace kd {

enum class ThemeChoice { automatic, dark, light };

// The order of the choices in the settings.
inline constexpr std::array<ThemeChoice, 3> kAllThemeChoices = {
    ThemeChoice::automatic, ThemeChoice::dark, ThemeChoice::light};

inline constexpr const char* kThemeKey = "theme";

// "auto", "dark", "light"; also the choice's id.
std::string_view rawValue(ThemeChoice choice);
// "Auto", "Dark", "Light".
std::string_view label(ThemeChoice choice);
// Exact raw values only: "Dark", like any other unknown text, is automatic.
ThemeChoice themeFromRaw(std::string_view raw);

// Forces dark or light on the whole application; automatic removes the
// forced appearance rather than forcing light. Main thread.
void applyTheme(Appearance& appearance, ThemeChoice choice);

}  // namespace kd
