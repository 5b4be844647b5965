#!/bin/sh
# `kelvane-display --list` on a Mac whose scenario searches the real network
# ("network": "dns-sd") lists the receivers published there, in display
# order. Run inside private_avahi.sh, which supplies that network.
#
#   list_over_dns_sd.sh PROGRAM RECEIVER DEFAULT_SCENARIO EXPECTED
set -eu
program=$1 receiver=$2 default_scenario=$3 expected=$4

dir=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    for pid in $pids; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$dir"
}
trap cleanup EXIT

sed 's/"network": "simulated"/"network": "dns-sd"/' "$default_scenario" >"$dir/scenario.json"
grep -q '"network": "dns-sd"' "$dir/scenario.json"

publish() {
    "$receiver" "$@" >>"$dir/receivers.log" 2>&1 &
    pids="$pids $!"
}
publish --name "Living Room" --model AppleTV14,1 --deviceid aa:bb:cc:dd:ee:ff --port 0
publish --name "bedroom" --model UN65TU7000 --deviceid 11:22:33:44:55:66 --pi 2e38 --port 0
publish --name "Kitchen iPad" --model iPad13,1 --deviceid 77:88:99:aa:bb:cc --port 0
publish --name "Office" --model Mac15,6 --deviceid 01:02:03:04:05:06 --port 0

# Generous: announcements, probing and resolution take about a second here.
"$program" --list --json --wait 4 --scenario "$dir/scenario.json" >"$dir/list.json"

# Ports are picked freely; everything else must be exactly as expected.
sed 's/"port": [0-9]*/"port": PORT/' "$dir/list.json" >"$dir/got.json"
if ! diff -u "$expected" "$dir/got.json"; then
    echo "receivers said:" >&2
    cat "$dir/receivers.log" >&2
    exit 1
fi
