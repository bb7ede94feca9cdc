#!/usr/bin/env bash
# A Wine prefix at another display scale on the test desktop that wine-env.sh
# started: a copy of its 96-dpi prefix with HKCU\Control Panel\Desktop\LogPixels
# set (tools/desktop.sh makes it), served by a Wine server of its own.
# wine-run.sh runs a program in it when KOLT_LOGPIXELS names the same DPI.
#   wine-prefix.sh start DIR DPI   |   wine-prefix.sh stop DIR DPI
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?environment folder}
export KOLT_LOGPIXELS=${3:?dots per inch}
. "$(dirname "$0")/../tools/desktop.sh"
unset KOLT_LOCALE
case "$cmd" in
start)
    kolt_desktop_use "$dir"
    kolt_prefix "$dir"
    kolt_desktop_serve
    echo "prefix at $KOLT_LOGPIXELS dpi ready: $WINEPREFIX"
    ;;
stop)
    kolt_wine_env "$dir"
    wineserver -k 2>/dev/null || true
    ;;
*) echo "usage: $0 start|stop DIR DPI" >&2; exit 2 ;;
esac
