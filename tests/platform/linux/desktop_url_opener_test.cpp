#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "platform/linux/desktop_url_opener.h"
#include "support/saved_variable.h"

namespace kd {
namespace {

constexpr const char* kDisplays = "x-apple.systempreferences:com.apple.Displays-Settings.extension";
constexpr const char* kScreenRecording =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture";

auto installedOnly(std::set<std::string> programs) {
    return [programs](const std::string& program) { return programs.contains(program); };
}

using Command = std::optional<std::vector<std::string>>;

TEST(DesktopUrlOpener, SettingsAddressesOpenTheDesktopsOwnSettingsAtTheirPage) {
    EXPECT_EQ(settingsPane(kDisplays), SettingsPane::displays);
    EXPECT_EQ(settingsPane("x-apple.systempreferences:com.apple.preference.displays"),
              SettingsPane::displays);
    EXPECT_EQ(settingsPane(kScreenRecording), SettingsPane::privacy);
    EXPECT_EQ(settingsPane("x-apple.systempreferences:com.apple.preference.sound"), std::nullopt);
    EXPECT_EQ(settingsPane("https://kelvane.example/"), std::nullopt);

    EXPECT_EQ(openCommand(kDisplays, installedOnly({"gnome-control-center", "systemsettings"})),
              (Command{{"gnome-control-center", "display"}}));
    EXPECT_EQ(openCommand(kDisplays, installedOnly({"systemsettings"})),
              (Command{{"systemsettings", "kcm_kscreen"}}));
    EXPECT_EQ(openCommand(kDisplays, installedOnly({"xfce4-display-settings", "xdg-open"})),
              (Command{{"xfce4-display-settings"}}));
    EXPECT_EQ(openCommand(kScreenRecording, installedOnly({"gnome-control-center"})),
              (Command{{"gnome-control-center", "privacy"}}));
}

TEST(DesktopUrlOpener, NothingToOpenWithIsNoCommandAndNeverXdgOpenForSettings) {
    // xdg-open would hand a settings address to a browser, which cannot show it.
    EXPECT_EQ(openCommand(kDisplays, installedOnly({"xdg-open"})), std::nullopt);
    EXPECT_EQ(openCommand(kScreenRecording, installedOnly({"systemsettings"})), std::nullopt);
    EXPECT_EQ(openCommand("x-apple.systempreferences:com.apple.preference.sound",
                          installedOnly({"gnome-control-center"})),
              std::nullopt);
    EXPECT_EQ(openCommand("https://kelvane.example/help", installedOnly({"xdg-open"})),
              (Command{{"xdg-open", "https://kelvane.example/help"}}));
    EXPECT_EQ(openCommand("https://kelvane.example/help", installedOnly({})), std::nullopt);
}

TEST(DesktopUrlOpener, WithoutASettingsProgramOneLineSaysSo) {
    std::ostringstream err;
    {
        const testing::SavedVariable path("PATH", "/nonexistent");
        DesktopUrlOpener(err).open(kDisplays);
    }
    EXPECT_EQ(err.str(), std::string("kelvane-display: no settings program found to open ") +
                             kDisplays +
                             " (looked for the GNOME, KDE, Xfce, Cinnamon, MATE and LXQt ones)\n");
}

}  // namespace
}  // namespace kd
