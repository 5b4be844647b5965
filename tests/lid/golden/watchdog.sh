#!/bin/bash
# Kelvane Display — lid guard watchdog. Written by the app; do not edit.
CONFIG="/Users/ada/Library/Application Support/Kelvane Display/LidGuard/config"
STATE_FILE="/tmp/kelvane-display-lidguard.active"
TEMP_FILE="/tmp/kelvane-display-lidguard.temp"
LOG_FILE="/tmp/kelvane-display-lidguard.log"
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
    rm -f "/Library/LaunchDaemons/com.kelvane1.display.lidguard.plist" "/Library/LaunchDaemons/com.kelvane1.display.lidguard.sh"
    sleep 2
    pmset sleepnow
    launchctl bootout system/com.kelvane1.display.lidguard 2>/dev/null
    exit 0
  fi
  sleep "$CHECK_INTERVAL"
done