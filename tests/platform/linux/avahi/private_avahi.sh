#!/bin/sh
# Runs a command beside a private DNS-SD responder: a network namespace of
# its own with only loopback, a private D-Bus system bus and an avahi-daemon
# on it. Nothing is announced on, or heard from, a real network, and the
# host's own daemon (if any) is never touched.
#
#   private_avahi.sh COMMAND [ARGUMENT...]
#
# The command runs inside the namespace with DBUS_SYSTEM_BUS_ADDRESS naming
# the private bus, KD_PRIVATE_AVAHI=1, and /etc/hosts mapping the daemon's
# host name, kdtest.local, to 127.0.0.1 (no mDNS name lookup is installed).
# Its exit status is passed on. Where the machine cannot give the command
# this setting (no root, no namespaces, a tool missing) it exits with 77,
# CTest's "skipped", after saying why on standard error.
set -eu

skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}

[ "$(id -u)" = 0 ] || skip "a private network namespace needs root"
PATH="$PATH:/usr/sbin:/sbin"
for tool in ip dbus-daemon dbus-send avahi-daemon mount; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

ns="kd-avahi-$$"
dir=$(mktemp -d)
bus="unix:path=$dir/bus"
cleanup() {
    set +e
    # Whatever still runs in the namespace was started for this run.
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill "$pid" 2>/dev/null; done
    for pid in $(ip netns pids "$ns" 2>/dev/null); do
        i=0
        while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do i=$((i + 1)); sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null
    done
    ip netns del "$ns" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! ip netns add "$ns" 2>"$dir/netns.log"; then
    skip "cannot create a network namespace: $(cat "$dir/netns.log")"
fi
ip -n "$ns" link set lo up

cat >"$dir/avahi-daemon.conf" <<CONF
[server]
host-name=kdtest
domain-name=local
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF
printf '127.0.0.1 localhost kdtest.local\n::1 localhost\n' >"$dir/hosts"

export DBUS_SYSTEM_BUS_ADDRESS="$bus"
# Both daemons run in the namespace; each `ip netns exec` also gets a mount
# namespace of its own, so the tmpfs over /run keeps the avahi-daemon's pid
# file and socket away from the host's.
ip netns exec "$ns" dbus-daemon --system --nofork --nopidfile --address="$bus" \
    >"$dir/dbus.log" 2>&1 &
# avahi-daemon gives up at once when the bus is not there yet.
wait_for() {  # what, test...
    what=$1
    shift
    i=0
    until "$@"; do
        i=$((i + 1))
        if [ $i -gt 200 ]; then
            echo "$what did not start within 10 s:" >&2
            cat "$dir/dbus.log" "$dir/avahi.log" >&2 2>/dev/null
            exit 1
        fi
        sleep 0.05
    done
}
wait_for "the private dbus-daemon" test -S "$dir/bus"
ip netns exec "$ns" sh -c 'mount -n -t tmpfs none /run &&
    exec avahi-daemon -f "$1" --no-drop-root --no-chroot --no-rlimits' sh \
    "$dir/avahi-daemon.conf" >"$dir/avahi.log" 2>&1 &

avahi_running() {
    dbus-send --system --print-reply --dest=org.freedesktop.Avahi / \
        org.freedesktop.Avahi.Server.GetState 2>/dev/null | grep -q 'int32 2'
}
wait_for "the private avahi-daemon" avahi_running

export KD_PRIVATE_AVAHI=1
status=0
ip netns exec "$ns" sh -c 'mount -n --bind "$1" /etc/hosts && shift && exec "$@"' sh \
    "$dir/hosts" "$@" || status=$?
exit $status
