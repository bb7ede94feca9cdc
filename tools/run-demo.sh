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

export WINEPREFIX=$run/prefix WINEARCH=win32 WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.kolt-ready" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 </dev/null
    # The Japanese faces the dialogs ask for, drawn with IPA Gothic.
    for font in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null
    done
    touch "$WINEPREFIX/.kolt-ready"
fi
cd "$run"
exec wine koltSSel.exe
