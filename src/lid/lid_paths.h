#pragma once

// Where the lid guard keeps its files: the generated sources in the user's
// own folder (`home`), and the files root uses under the system's folders.
// On a Mac `systemRoot` is empty; on the simulated Mac it is the folder that
// stands for the Mac's "/", so "/Library/…" and "/tmp/…" land inside it.

#include <string>

namespace kd {

// The launch daemon's label.
inline constexpr const char* kLidGuardLabel = "com.kelvane1.display.lidguard";

struct LidPaths {
    std::string home;          // …/Application Support/Kelvane Display/LidGuard
    std::string configFile;    // the limit, read by the watchdog on every pass
    std::string watchdogFile;  // the watchdog as the application writes it
    std::string plistSrc;      // the daemon's property list as the application writes it
    // Installed by root next to each other, in a folder only root can write,
    // so root never runs a script the user's own processes could change.
    std::string plistDst;
    std::string installedWatchdog;
    std::string stateFile;  // the running watchdog's process id
    std::string tempFile;   // its last battery reading, in °C
    std::string logFile;    // its output
};

LidPaths lidPaths(const std::string& home, const std::string& systemRoot = {});

// The guard's home inside the platform's Application Support folder.
std::string lidGuardHome(const std::string& applicationSupport);

}  // namespace kd
