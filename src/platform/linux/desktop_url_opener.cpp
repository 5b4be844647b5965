#include "platform/linux/desktop_url_opener.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kd {

namespace {

constexpr std::string_view kSettingsScheme = "x-apple.systempreferences:";

// By desktop, the most common first; each opens straight at the page.
const std::vector<std::vector<std::string>> kDisplaysPrograms = {
    {"gnome-control-center", "display"}, {"systemsettings", "kcm_kscreen"},
    {"xfce4-display-settings"},          {"cinnamon-settings", "display"},
    {"mate-display-properties"},         {"lxqt-config-monitor"},
};
const std::vector<std::vector<std::string>> kPrivacyPrograms = {
    {"gnome-control-center", "privacy"},
    {"cinnamon-settings", "privacy"},
};

// Runs `argv` (a full path first) with the child of a child, which the
// system adopts, so only the short-lived middle process is waited for.
bool spawnDetached(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t middle = ::fork();
    if (middle < 0) return false;
    if (middle == 0) {
        ::setsid();
        if (::fork() == 0) {
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

std::optional<SettingsPane> settingsPane(const std::string& url) {
    if (!url.starts_with(kSettingsScheme)) return std::nullopt;
    const auto pane = url.substr(kSettingsScheme.size());
    if (pane.starts_with("com.apple.Displays-Settings.extension") ||
        pane.starts_with("com.apple.preference.displays")) {
        return SettingsPane::displays;
    }
    if (pane.starts_with("com.apple.preference.security")) return SettingsPane::privacy;
    return std::nullopt;
}

std::optional<std::vector<std::string>> openCommand(
    const std::string& url, const std::function<bool(const std::string&)>& installed) {
    if (url.starts_with(kSettingsScheme)) {
        const auto pane = settingsPane(url);
        if (!pane) return std::nullopt;
        for (const auto& command :
             *pane == SettingsPane::displays ? kDisplaysPrograms : kPrivacyPrograms) {
            if (installed(command.front())) return command;
        }
        return std::nullopt;
    }
    if (installed("xdg-open")) return std::vector<std::string>{"xdg-open", url};
    return std::nullopt;
}

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        const auto candidate = std::filesystem::path(folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return "";
}

void DesktopUrlOpener::open(const std::string& url) {
    auto command =
        openCommand(url, [](const std::string& program) { return !findOnPath(program).empty(); });
    if (command) {
        command->front() = findOnPath(command->front());
        if (spawnDetached(*command)) return;
    }
    if (settingsPane(url)) {
        err_ << "kelvane-display: no settings program found to open " << url
             << " (looked for the GNOME, KDE, Xfce, Cinnamon, MATE and LXQt ones)\n";
    } else {
        err_ << "kelvane-display: cannot open " << url << " here\n";
    }
    err_.flush();
}

}  // namespace kd
