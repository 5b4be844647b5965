#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

#include "shell_harness.h"
#include "ui/shell/qt_appearance.h"

namespace kd {
namespace {

bool paletteIsDark() {
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

TEST(QtAppearance, ForcedThemesWinAndAutoFollowsTheDesktopRatherThanForcingLight) {
    AppTheme theme;
    bool desktopDark = true;
    QtAppearance appearance(theme, [&] { return desktopDark; });

    appearance.setAppearance(AppearanceName::light);
    EXPECT_FALSE(theme.dark());
    EXPECT_FALSE(paletteIsDark());
    appearance.setAppearance(AppearanceName::dark);
    EXPECT_TRUE(theme.dark());
    EXPECT_TRUE(paletteIsDark());
    // Back to auto on a dark desktop stays dark; the desktop turning light
    // is followed the next time the theme is applied.
    appearance.setAppearance(std::nullopt);
    EXPECT_TRUE(theme.dark());
    desktopDark = false;
    appearance.setAppearance(std::nullopt);
    EXPECT_FALSE(theme.dark());
    EXPECT_FALSE(paletteIsDark());
}

TEST(QtAppearance, TheSavedThemeIsAppliedBeforeTheWindowShows) {
    ShellHarness h(defaultScenario(), {{kThemeKey, "dark"}});
    EXPECT_EQ(h.dock.mac.appearance().forced(), std::nullopt);
    h.launch();
    EXPECT_EQ(h.dock.mac.appearance().forced(), AppearanceName::dark);
}

}  // namespace
}  // namespace kd
