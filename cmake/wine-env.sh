#!/usr/bin/env bash
# Starts or stops the desktop that the Windows tests run on: one Xvfb display,
# a window manager (so windows get the focus as on a real desktop), a 32-bit
# Wine prefix kept inside the build tree, and a persistent Wine server.
#   wine-env.sh start DIR   |   wine-env.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?environment folder}
mkdir -p "$dir"
export WINEPREFIX="$dir/prefix" WINEARCH=win32 WINEDEBUG=-all

stop() {
    if [ -f "$dir/display" ]; then DISPLAY=:$(cat "$dir/display") wineserver -k 2>/dev/null || true; fi
    for p in wm xvfb; do
        if [ -f "$dir/$p.pid" ]; then kill "$(cat "$dir/$p.pid")" 2>/dev/null || true; rm -f "$dir/$p.pid"; fi
    done
    rm -f "$dir/display"
}

case "$cmd" in
stop) stop; exit 0 ;;
start) ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac

stop
mkdir -p "$WINEPREFIX"
# -displayfd picks a free display number and writes it once the server is ready.
rm -f "$dir/display.tmp"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display.tmp" >"$dir/xvfb.log" 2>&1 </dev/null &
echo $! >"$dir/xvfb.pid"
for _ in $(seq 100); do [ -s "$dir/display.tmp" ] && break; sleep 0.1; done
[ -s "$dir/display.tmp" ] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
tr -d '\n' <"$dir/display.tmp" >"$dir/display"
export DISPLAY=:$(cat "$dir/display")
openbox >"$dir/wm.log" 2>&1 </dev/null &
echo $! >"$dir/wm.pid"

if [ ! -f "$WINEPREFIX/.kolt-ready" ]; then
    # No Mono or Gecko: the tests need neither, and there is no network to fetch them.
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot.exe -i >"$dir/wineboot.log" 2>&1 </dev/null
    # Wine's crash dialog would wait for a click that never comes.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$dir/wineboot.log" 2>&1 </dev/null
    # End the services wineboot started: they learn the drives only when they start.
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.kolt-ready"
fi
# A drive of its own for tests that walk the shell's folder tree (the folder
# picker): T:\ is one level deep, wherever the build tree lies. It must be
# there before Wine's services start.
mkdir -p "$dir/drive_t"
ln -sfn "$dir/drive_t" "$WINEPREFIX/dosdevices/t:"
# A persistent server keeps every test from paying for a new one; it must not
# hold CTest's output pipe open.
wineserver -p >/dev/null 2>&1 </dev/null
echo "Wine desktop ready on display $DISPLAY, prefix $WINEPREFIX"
