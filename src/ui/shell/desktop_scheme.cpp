#include "ui/shell/desktop_scheme.h"

#include <QProcess>
#include <QStandardPaths>

namespace kd {

bool desktopPrefersDark(const std::optional<std::string>& colorScheme,
                        std::optional<int> paletteWindowLightness) {
    if (colorScheme) {
        if (colorScheme->find("'prefer-dark'") != std::string::npos) return true;
        if (colorScheme->find("'prefer-light'") != std::string::npos) return false;
    }
    return paletteWindowLightness && *paletteWindowLightness < 128;
}

std::optional<std::string> readGnomeColorScheme() {
    const auto program = QStandardPaths::findExecutable("gsettings");
    if (program.isEmpty()) return std::nullopt;
    QProcess gsettings;
    gsettings.start(program, {"get", "org.gnome.desktop.interface", "color-scheme"});
    if (!gsettings.waitForFinished(1000)) {
        gsettings.kill();
        gsettings.waitForFinished(1000);
        return std::nullopt;
    }
    if (gsettings.exitStatus() != QProcess::NormalExit || gsettings.exitCode() != 0) {
        return std::nullopt;
    }
    return gsettings.readAllStandardOutput().toStdString();
}

}  // namespace kd
