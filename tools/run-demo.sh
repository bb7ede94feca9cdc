#!/usr/bin/env bash
# Runs koltSSel.exe under Wine on the bundled demo game folder (with the
# stand-in game programs in it). With a display it opens the program for you;
# without one it runs it on a private Xvfb display with a scenario selected,
# saves a screenshot of the program's window and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec tools/screenshot.sh "$root/build/demo/koltSSel-demo.png"
fi

tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target koltSSel demo_game velq dormaux qmz48 >/dev/null
build=$root/build/win32
run=$root/build/demo
game=$build/demo-game
mkdir -p "$run"
cp "$build/bin/koltSSel.exe" "$run/"
for exe in velq.exe dormaux.exe qmz48.exe; do cp "$build/bin/$exe" "$game/"; done
# The settings file beside the program names the game folder (Wine's Z: is /).
[ -f "$run/koltSSel.ini" ] || printf '[Option]\r\nGamePriority=32\r\nGameFolder=Z:%s\r\n' "${game//\//\\}" >"$run/koltSSel.ini"

# The same prefix set-up as the screenshot's (tools/desktop.sh), on your display.
. tools/desktop.sh
export KOLT_LOCALE=ja_JP.UTF-8
kolt_prefix "$run"
cd "$run"
exec wine koltSSel.exe
