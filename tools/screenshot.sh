#!/usr/bin/env bash
# Takes the README's picture: koltSSel.exe on the demo game folder with a
# scenario selected, on a private Xvfb display with a Japanese locale and the
# IPA Gothic font standing in for the Windows fonts the program asks for.
#   tools/screenshot.sh [OUTPUT.png]      (default docs/koltSSel.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-docs/koltSSel.png}")
tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j 2 --target koltSSel demo_game velq dormaux qmz48 select_scenario >/dev/null

build=$root/build/win32
run=$root/build/screenshot
game=$build/demo-game
mkdir -p "$run" "$(dirname "$out")"
cp "$build/bin/koltSSel.exe" "$run/"
for exe in velq.exe dormaux.exe qmz48.exe; do cp "$build/bin/$exe" "$game/"; done
printf '[Option]\r\nGamePriority=32\r\nGameFolder=Z:%s\r\n' "${game//\//\\}" >"$run/koltSSel.ini"

export WINEPREFIX=$run/prefix WINEARCH=win32 WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 </dev/null &
xvfb=$!
wm=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -d '\n' <"$run/display")
openbox >/dev/null 2>&1 </dev/null &
wm=$!

if [ ! -f "$WINEPREFIX/.kolt-ready" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 </dev/null
    for font in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma'; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null
    done
    touch "$WINEPREFIX/.kolt-ready"
fi

(cd "$run" && wine koltSSel.exe >/dev/null 2>&1 </dev/null &)
# The first scenario of the first port: the picture shows one port opened.
wine "$build/bin/select_scenario.exe" >/dev/null 2>&1 </dev/null
sleep 1
id=$(xwininfo -root -tree | awk '/koltシナリオセレクタ/ && !found {print $1; found = 1}')
[ -n "$id" ] || { echo "the main window did not appear" >&2; exit 1; }
import -frame -window "$id" "$out"
echo "screenshot: $out"
