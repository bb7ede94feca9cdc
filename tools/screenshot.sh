#!/usr/bin/env bash
# Takes the README's picture: koltSSel.exe on the demo game folder with a
# scenario selected, on a private Xvfb display with a Japanese locale and the
# IPA Gothic font standing in for the Windows fonts the program asks for
# (tools/desktop.sh). SCALE is the display scale in percent: 200 gives the
# prefix 192 dots per inch (a prefix of its own for each scale). VARIANT:
# high-contrast (the high-contrast black colours set before the program
# starts) or move:DPI,DPI... (the window then moved to each DPI in turn, as
# between monitors: move:144,96 at 100 % is a change and back).
#   tools/screenshot.sh [OUTPUT.png [SCALE [VARIANT]]]      (default docs/koltSSel.png 100)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-docs/koltSSel.png}")
scale=${2:-100}
[[ $scale =~ ^[1-9][0-9]{1,2}$ ]] || { echo "SCALE is a percentage such as 100, 150 or 200, not '$scale'" >&2; exit 2; }
variant=${3:-}
[[ -z $variant || $variant == high-contrast || $variant =~ ^move:[0-9]+(,[0-9]+)*$ ]] ||
    { echo "VARIANT is high-contrast or move:DPI,DPI..., not '$variant'" >&2; exit 2; }
run=$root/build/screenshot
. tools/demo-setup.sh
kolt_demo_setup "$run" select_scenario display_change
mkdir -p "$(dirname "$out")"

. tools/desktop.sh
export KOLT_LOCALE=ja_JP.UTF-8 KOLT_LOGPIXELS=$((96 * scale / 100))
export KOLT_SCREEN=$((1024 * scale / 100))x$((768 * scale / 100))x24
trap 'kolt_desktop_stop "$run"' EXIT
kolt_desktop_start "$run"

[ "$variant" != high-contrast ] || wine "$build/bin/display_change.exe" high-contrast >/dev/null 2>&1 </dev/null
(cd "$run" && wine koltSSel.exe >/dev/null 2>&1 </dev/null &)
# The first scenario of the first port: the picture shows one port opened.
wine "$build/bin/select_scenario.exe" >/dev/null 2>&1 </dev/null
if [[ $variant == move:* ]]; then
    IFS=, read -ra dpis <<<"${variant#move:}"
    wine "$build/bin/display_change.exe" move "${dpis[@]}" >/dev/null 2>&1 </dev/null
fi
sleep 1
id=$(xwininfo -root -tree | awk '/koltシナリオセレクタ/ && !found {print $1; found = 1}')
[ -n "$id" ] || { echo "the main window did not appear" >&2; exit 1; }
import -frame -window "$id" "$out"
echo "screenshot: $out"
