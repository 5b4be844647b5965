#!/bin/sh
# An installed copy works on its own: `cmake --install` into a scratch
# prefix, then the installed program passes its self-test (which runs a
# script through the installed stand-in interpreter), and the desktop entry
# names the installed program and an icon that is there.
# Arguments: the build folder, a scratch folder.
set -eu
build=$1
prefix=$2/prefix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export XDG_CONFIG_HOME="$2/config"
"$prefix/bin/kelvane-display" --self-test
test -x "$prefix/libexec/kelvane-display/kd-osascript"
test -f "$prefix/share/kelvane-display/Sounds/WaterBubble.aiff"
entry="$prefix/share/applications/kelvane-display.desktop"
grep -qx 'Exec=kelvane-display' "$entry"
grep -qx 'Icon=kelvane-display' "$entry"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/kelvane-display.svg"
echo "installed copy works"
