#include "lid/lid_paths.h"

namespace kd {

LidPaths lidPaths(const std::string& home, const std::string& systemRoot) {
    const std::string daemons = systemRoot + "/Library/LaunchDaemons/" + kLidGuardLabel;
    const std::string temporary = systemRoot + "/tmp/kelvane-display-lidguard";
    return LidPaths{
        .home = home,
        .configFile = home + "/config",
        .watchdogFile = home + "/watchdog.sh",
        .plistSrc = home + "/" + kLidGuardLabel + ".plist",
        .plistDst = daemons + ".plist",
        .installedWatchdog = daemons + ".sh",
        .stateFile = temporary + ".active",
        .tempFile = temporary + ".temp",
        .logFile = temporary + ".log",
    };
}

std::string lidGuardHome(const std::string& applicationSupport) {
    return applicationSupport + "/Kelvane Display/LidGuard";
}

}  // namespace kd
