#include "dock/theme.h"

#include <optional>

namespace kd {

std::string_view rawValue(ThemeChoice choice) {
    switch (choice) {
        case ThemeChoice::automatic:
            return "auto";
        case ThemeChoice::dark:
            return "dark";
        case ThemeChoice::light:
            return "light";
    }
    return "auto";
}

std::string_view label(ThemeChoice choice) {
    switch (choice) {
        case ThemeChoice::automatic:
            return "Auto";
        case ThemeChoice::dark:
            return "Dark";
        case ThemeChoice::light:
            return "Light";
    }
    return "Auto";
}

ThemeChoice themeFromRaw(std::string_view raw) {
    for (const auto choice : kAllThemeChoices) {
        if (raw == rawValue(choice)) return choice;
    }
    return ThemeChoice::automatic;
}

void applyTheme(Appearance& appearance, ThemeChoice choice) {
    switch (choice) {
        case ThemeChoice::automatic:
            appearance.setAppearance(std::nullopt);
            return;
        case ThemeChoice::dark:
            appearance.setAppearance(AppearanceName::dark);
            return;
        case ThemeChoice::light:
            appearance.setAppearance(AppearanceName::light);
            return;
    }
}

}  // namespace kd
