#!/bin/sh
# The window's flows from the command line on the built-in simulated Mac:
# an iPad on the right and the Apple TV on the left of the Mac's panel, each
# status line said, and the screens as JSON at the end.
# Usage: flows_from_command_line.sh KELVANE_DISPLAY GOLDEN_JSON GOLDEN_STATUS
set -eu
program=$1
golden_json=$2
golden_status=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

status=0
"$program" --connect "Studio iPad" --side right --connect "living room" --side left --json \
    >"$work/screens.json" 2>"$work/status.txt" || status=$?
if [ "$status" -ne 0 ]; then
    echo "exit status $status, wanted 0" >&2
    cat "$work/status.txt" >&2
    exit 1
fi
diff -u "$golden_json" "$work/screens.json"
diff -u "$golden_status" "$work/status.txt"

# A name the scan does not find is a usage error naming what was found.
status=0
"$program" --disconnect "Kitchen iPad" >/dev/null 2>"$work/unknown.txt" || status=$?
[ "$status" -eq 2 ] || { echo "unknown name: exit $status, wanted 2" >&2; exit 1; }
grep -q "found: Studio iPad, Living Room" "$work/unknown.txt"
