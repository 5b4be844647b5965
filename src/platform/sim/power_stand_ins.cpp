#include "platform/sim/power_stand_ins.h"

namespace kd {

namespace {

// Every stand-in starts with this: where the state is, and one line in the
// command log per call (its name and arguments, separated by tabs).
constexpr const char* kCommon = R"sh(#!/bin/bash
SIM=${0%/*/*}
STATE="$SIM/state"
get() { cat "$STATE/$1" 2>/dev/null; }
put() { printf '%s\n' "$2" > "$STATE/$1.$$" && mv -f "$STATE/$1.$$" "$STATE/$1"; }
logged() {
  local line=${0##*/} word
  for word in "$@"; do word=${word//$'\t'/ }; line+=$'\t'${word//$'\n'/ }; done
  printf '%s\n' "$line" >> "$SIM/commands.log"
}
logged "$@"
)sh";

constexpr const char* kPmset = R"sh(
case "$*" in
  -g)
    printf 'System-wide power settings:\n SleepDisabled\t\t%s\nCurrently in use:\n' "$(get sleep-disabled)"
    printf ' standby              1\n Sleep On Power Button 1\n hibernatefile        /var/vm/sleepimage\n'
    printf ' powernap             1\n disksleep            10\n sleep                1\n'
    printf ' hibernatemode        3\n displaysleep         10\n tcpkeepalive         1\n lowpowermode         0\n'
    ;;
  "-g therm")
    limit=$(get cpu-speed-limit)
    if [ -n "$limit" ]; then
      printf 'CPU_Scheduler_Limit \t= 100\nCPU_Available_CPUs \t= 12\nCPU_Speed_Limit \t= %s\n' "$limit"
    else
      printf 'Note: No thermal warning level has been recorded\n'
      printf 'Note: No performance warning level has been recorded\n'
      printf 'Note: No CPU power status has been recorded\n'
    fi
    ;;
  "-a disablesleep 0" | "-a disablesleep 1")
    put sleep-disabled "$3"
    ;;
  sleepnow)
    put slept $(( $(get slept) + 1 ))
    echo "Sleeping now..."
    ;;
  *)
    echo "pmset: the simulated Mac does not answer: pmset $*" >&2
    exit 1
    ;;
esac
)sh";

constexpr const char* kIoreg = R"sh(
if [ "$*" != "-r -n AppleSmartBattery" ]; then
  echo "ioreg: the simulated Mac only answers: ioreg -r -n AppleSmartBattery" >&2
  exit 1
fi
t=$(get battery-temperature)
[ -z "$t" ] && exit 0
printf '+-o AppleSmartBattery  <class AppleSmartBattery, id 0x100000a1c, registered, matched, active, busy 0 (0 ms), retain 7>\n'
printf '    {\n      "ExternalConnected" = Yes\n      "VirtualTemperature" = %s\n' "$t"
printf '      "CycleCount" = 112\n      "Temperature" = %s\n      "DesignCapacity" = 6075\n    }\n\n' "$t"
)sh";

constexpr const char* kStat = R"sh(
if [ "$*" != "-f %u /dev/console" ]; then
  echo "stat: the simulated Mac only answers: stat -f %u /dev/console" >&2
  exit 1
fi
echo 501
)sh";

// Nobody is root here: making a file root's is taken as done when it exists.
constexpr const char* kChown = R"sh(
if [ "$1" != root:wheel ] || [ "$#" -lt 2 ]; then
  echo "chown: the simulated Mac only answers: chown root:wheel FILE..." >&2
  exit 1
fi
shift
for file in "$@"; do
  [ -e "$file" ] || { echo "chown: $file: No such file or directory" >&2; exit 1; }
done
)sh";

constexpr const char* kRm = R"sh(
exec /bin/rm "$@"
)sh";

constexpr const char* kOsascript = R"sh(
text='"(([^"\\]|\\.)*)"'
form="^display notification $text with title $text sound name $text\$"
if [ "$#" -eq 2 ] && [ "$1" = -e ] && [[ $2 =~ $form ]]; then exit 0; fi
echo "0:${#2}: syntax error: the simulated Mac only shows notifications here. (-2741)" >&2
exit 1
)sh";

// A daemon runs in a session of its own, so it outlives the command line
// that loaded it; its process id is its record under "daemons".
constexpr const char* kLaunchctl = R"sh(
DAEMONS="$SIM/daemons"
unescaped() { sed -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e "s/&apos;/'/g" -e 's/&amp;/\&/g'; }
label_of() {
  tr -d '\n' < "$1" | sed -n 's|.*<key>Label</key>[[:space:]]*<string>\([^<]*\)</string>.*|\1|p' | unescaped
}
arguments_of() {
  tr -d '\n' < "$1" |
    sed -n 's|.*<key>ProgramArguments</key>[[:space:]]*<array>[[:space:]]*<string>\(.*\)</string>[[:space:]]*</array>.*|\1|p' |
    sed 's|</string>[[:space:]]*<string>|\n|g' | unescaped
}
load() {
  local plist=$1 label arguments
  if [ ! -f "$plist" ]; then echo "$2: 2: No such file or directory" >&2; return 2; fi
  label=$(label_of "$plist")
  mapfile -t arguments < <(arguments_of "$plist")
  if [ -z "$label" ] || [ "${#arguments[@]}" -eq 0 ]; then
    echo "$2: 5: Input/output error" >&2
    return 5
  fi
  if [ -e "$DAEMONS/$label" ]; then echo "$2: 5: Input/output error" >&2; return 5; fi
  setsid "${arguments[@]}" < /dev/null > /dev/null 2>&1 &
  echo "$!" > "$DAEMONS/$label"
}
unload() {
  local pid
  [ -n "$1" ] && [ -e "$DAEMONS/$1" ] || return 1
  pid=$(cat "$DAEMONS/$1")
  /bin/rm -f "$DAEMONS/$1"
  kill -TERM -- "-$pid" 2>/dev/null
  return 0
}
case "$1 $2" in
  "bootstrap system")
    [ "$#" -eq 3 ] && load "$3" "Bootstrap failed" || exit
    ;;
  "load -w")
    [ "$#" -eq 3 ] && load "$3" "Load failed" || exit
    ;;
  "bootout system/"*)
    unload "${2#system/}" || { echo "Boot-out failed: 3: No such process" >&2; exit 3; }
    ;;
  "unload -w")
    [ -f "$3" ] && unload "$(label_of "$3")" || { echo "Unload failed: 113: Could not find specified service" >&2; exit 113; }
    ;;
  "asuser "*)
    shift 2
    exec "$@"
    ;;
  *)
    echo "launchctl: the simulated Mac does not answer: launchctl $*" >&2
    exit 1
    ;;
esac
)sh";

// The clock of the simulated Mac's daemons. Real unless the simulator steps
// it; then each sleep waits for one step, whatever its length. Either way a
// daemon whose simulator has gone ends itself.
constexpr const char* kSleep = R"sh(
alive() { [ -d "$STATE" ] && kill -0 "$(get owner)" 2>/dev/null; }
alive || kill -TERM 0
[ "$(get clock)" = stepped ] || exec /bin/sleep "$@"
exec 9<> "$SIM/clock"
for (( i = 0; i < 60; i++ )); do
  read -r -n 1 -t 2 -u 9 tick && exit 0
  alive || kill -TERM 0
done
echo "sleep: the simulated Mac's clock was not stepped for 120 seconds" >&2
exit 1
)sh";

std::string standIn(const char* body) {
    return std::string(kCommon) + body;
}

}  // namespace

const std::vector<StandIn>& powerStandIns() {
    static const std::vector<StandIn> kStandIns{
        {"pmset", standIn(kPmset)},
        {"ioreg", standIn(kIoreg)},
        {"stat", standIn(kStat)},
        {"chown", standIn(kChown)},
        {"rm", standIn(kRm)},
        {"osascript", standIn(kOsascript)},
        {"launchctl", standIn(kLaunchctl)},
        {"sleep", standIn(kSleep)},
    };
    return kStandIns;
}

}  // namespace kd
