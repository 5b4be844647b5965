#include "lid/lid_scripts.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "lid/quoting.h"

namespace kd {

namespace {

std::string single(const std::string& path) {
    return "'" + insideSingleQuotes(path) + "'";
}

std::string doubled(const std::string& path) {
    return "\"" + insideDoubleQuotes(path) + "\"";
}

// `text` with each placeholder replaced by its value; values are not searched again.
std::string filled(std::string_view text,
                   std::initializer_list<std::pair<std::string_view, std::string>> values) {
    std::string out;
    while (!text.empty()) {
        const auto at = text.find('@');
        const auto value = std::find_if(values.begin(), values.end(), [&](const auto& entry) {
            return at != std::string_view::npos && text.substr(at).starts_with(entry.first);
        });
        if (value == values.end()) {
            out += text.substr(0, at == std::string_view::npos ? text.size() : at + 1);
            text.remove_prefix(at == std::string_view::npos ? text.size() : at + 1);
            continue;
        }
        out += text.substr(0, at);
        out += value->second;
        text.remove_prefix(at + value->first.size());
    }
    return out;
}

// The watchdog, run by root. Placeholders stand for the quoted paths.
constexpr std::string_view kWatchdog = R"sh(#!/bin/bash
# Kelvane Display — lid guard watchdog. Written by the app; do not edit.
CONFIG=@CONFIG@
STATE_FILE=@STATE_FILE@
TEMP_FILE=@TEMP_FILE@
LOG_FILE=@LOG_FILE@
CPU_SPEED_LIMIT=55       # thermal throttling below this % counts as overheating too
CHECK_INTERVAL=15
# Root writes these files in a folder anyone can write to: each write puts a
# new file in place of whatever is there, so a planted link is never followed.
put() { local t; t=$(mktemp "$1.XXXXXX") && echo "$2" > "$t" && chmod 644 "$t" && mv -f "$t" "$1"; }
put "$LOG_FILE" "watchdog $$"
exec >> "$LOG_FILE" 2>&1
put "$STATE_FILE" $$
CONSOLE_UID=$(stat -f %u /dev/console)
notify() {
  launchctl asuser "$CONSOLE_UID" osascript -e "display notification \"$1\" with title \"Kelvane Display\" sound name \"Basso\"" 2>/dev/null
}
while true; do
  LIMIT_C=$(head -1 "$CONFIG" 2>/dev/null | tr -dc '0-9')
  [ -z "$LIMIT_C" ] && LIMIT_C=52
  T=$(ioreg -r -n AppleSmartBattery | awk -F'= ' '/"Temperature"/{print $2; exit}')
  # A reading that is no whole number would end this loop in an arithmetic
  # error, leaving sleep off with nobody watching: count it as no reading.
  case "$T" in *[!0-9]*) T= ;; esac
  TEMP_C=$(( ${T:-3000} / 100 ))
  put "$TEMP_FILE" "$TEMP_C"
  THROTTLE=$(pmset -g therm | awk '/CPU_Speed_Limit/{print $3}')
  OVERHEAT=0
  [ "$TEMP_C" -ge "$LIMIT_C" ] && OVERHEAT=1
  [ -n "$THROTTLE" ] && [ "$THROTTLE" -le "$CPU_SPEED_LIMIT" ] && OVERHEAT=1
  if [ "$OVERHEAT" -eq 1 ]; then
    # Nothing may keep sleep from coming back: the notification is not waited
    # for, and the boot-out, which ends this script, comes last.
    notify "Too hot (battery ${TEMP_C}°C, limit ${LIMIT_C}°C). Normal sleep is back — sleeping now." &
    pmset -a disablesleep 0
    rm -f "$STATE_FILE"
    rm -f @PLIST@ @WATCHDOG@
    sleep 2
    pmset sleepnow
    launchctl bootout system/@LABEL@ 2>/dev/null
    exit 0
  fi
  sleep "$CHECK_INTERVAL"
done)sh";

// No StandardOutPath: launchd would open it as root and follow a link
// planted there. The watchdog opens its log itself.
constexpr std::string_view kDaemonPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>Label</key><string>@LABEL@</string>
  <key>ProgramArguments</key>
  <array><string>/bin/bash</string><string>@WATCHDOG@</string></array>
  <key>RunAtLoad</key><true/>
  <key>KeepAlive</key><false/>
</dict>
</plist>
)";

}  // namespace

std::string watchdogScript(const LidPaths& paths) {
    return filled(kWatchdog, {{"@CONFIG@", doubled(paths.configFile)},
                              {"@STATE_FILE@", doubled(paths.stateFile)},
                              {"@TEMP_FILE@", doubled(paths.tempFile)},
                              {"@LOG_FILE@", doubled(paths.logFile)},
                              {"@PLIST@", doubled(paths.plistDst)},
                              {"@WATCHDOG@", doubled(paths.installedWatchdog)},
                              {"@LABEL@", kLidGuardLabel}});
}

std::string daemonPlist(const LidPaths& paths) {
    return filled(kDaemonPlist,
                  {{"@LABEL@", kLidGuardLabel}, {"@WATCHDOG@", xmlText(paths.installedWatchdog)}});
}

std::string enableCommand(const LidPaths& paths) {
    const auto watchdog = single(paths.installedWatchdog);
    const auto plist = single(paths.plistDst);
    // The old watchdog file is removed, not overwritten: a watchdog still
    // running keeps reading the file it started with until it is booted out.
    return "rm -f " + watchdog + " && cp " + single(paths.watchdogFile) + " " + watchdog +
           " && chown root:wheel " + watchdog + " && chmod 644 " + watchdog + " && cp " +
           single(paths.plistSrc) + " " + plist + " && chown root:wheel " + plist +
           " && chmod 644 " + plist + " && { launchctl bootout system/" + kLidGuardLabel +
           " 2>/dev/null; launchctl bootstrap system " + plist +
           " 2>/dev/null || launchctl load -w " + plist + "; } && pmset -a disablesleep 1";
}

std::string disableCommand(const LidPaths& paths) {
    const auto plist = single(paths.plistDst);
    return std::string("launchctl bootout system/") + kLidGuardLabel +
           " 2>/dev/null; launchctl unload -w " + plist + " 2>/dev/null; rm -f " + plist + " " +
           single(paths.installedWatchdog) + "; pmset -a disablesleep 0; rm -f " +
           single(paths.stateFile);
}

std::string sleepNowCommand(const LidPaths& paths) {
    return disableCommand(paths) + "; pmset sleepnow";
}

}  // namespace kd
