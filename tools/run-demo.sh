#!/usr/bin/env bash
# Runs koltSSel.exe under Wine on the bundled demo game folder (with the
# stand-in game programs in it). With a display it opens the program for you;
# without one it runs it on a private Xvfb display, saves a screenshot of the
# program's window and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target koltSSel demo_game standins >/dev/null

build=$root/build/win32
run=$root/build/demo
game=$build/demo-game
mkdir -p "$run"
cp "$build/bin/koltSSel.exe" "$run/"
for exe in velq.exe dormaux.exe qmz48.exe; do cp "$build/bin/$exe" "$game/"; done
# The settings file beside the program names the game folder (Wine's Z: is /).
printf '[Option]\r\nGamePriority=32\r\nGameFolder=Z:%s\r\n' "${game//\//\\}" >"$run/koltSSel.ini"

export WINEPREFIX=$run/prefix WINEARCH=win32 WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$run/koltSSel.exe"
fi

# No display: a private one, a screenshot, then the program is closed again.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 </dev/null &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -d '\n' <"$run/display")
openbox >/dev/null 2>&1 </dev/null &
wine "$run/koltSSel.exe" >/dev/null 2>&1 </dev/null &
for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q 'koltシナリオセレクタ' && break
    sleep 0.2
done
sleep 2
shot=$run/koltSSel-demo.png
import -window root "$shot"
echo "koltSSel ran on the demo game folder $game"
echo "screenshot: $shot"
