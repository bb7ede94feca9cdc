#!/usr/bin/env bash
# Starts or stops the desktop that the Windows tests run on (tools/desktop.sh:
# one Xvfb display, a window manager so that windows get the focus as on a real
# desktop, a Wine prefix of the build's kind kept inside the build tree) and a persistent
# Wine server.
#   wine-env.sh start DIR   |   wine-env.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?environment folder}
mkdir -p "$dir"
. "$(dirname "$0")/../tools/desktop.sh"
# The tests set their own locale where it matters; the desktop keeps the
# caller's. Its prefix is the 96-dpi one.
unset KOLT_LOCALE KOLT_LOGPIXELS

case "$cmd" in
stop) kolt_desktop_stop "$dir"; exit 0 ;;
start) ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac

KOLT_SCREEN=1280x1024x24 kolt_desktop_start "$dir"
# A drive of its own for tests that walk the shell's folder tree (the folder
# picker): T:\ is one level deep, wherever the build tree lies. It must be
# there before Wine's services start.
mkdir -p "$dir/drive_t"
ln -sfn "$dir/drive_t" "$WINEPREFIX/dosdevices/t:"
kolt_desktop_serve
echo "Wine desktop ready on display $DISPLAY, prefix $WINEPREFIX"
