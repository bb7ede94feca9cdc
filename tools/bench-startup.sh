#!/usr/bin/env bash
# Start-up benchmark: under the same Wine and display, starts koltSSel.exe on
# the demo game folder and a minimal program that only opens one window,
# several times each in turn, and measures the time until the window is shown
# (for koltSSel: with the stage tree filled). Prints the medians, their ratio
# (the aim is at most 1.3) and the size of koltSSel.exe. Not part of the tests.
#   tools/bench-startup.sh [RUNS]     (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-10}
tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j 2 --target koltSSel demo_game startup_timer minimal_window >/dev/null

build=$root/build/win32
run=$root/build/bench-startup
game=$build/demo-game
mkdir -p "$run"
cp "$build/bin/koltSSel.exe" "$build/bin/minimal_window.exe" "$run/"
printf '[Option]\r\nGamePriority=32\r\nGameFolder=Z:%s\r\n' "${game//\//\\}" >"$run/koltSSel.ini"

. tools/desktop.sh
export KOLT_LOCALE=ja_JP.UTF-8 KOLT_SCREEN=1024x768x24
trap 'kolt_desktop_stop "$run"' EXIT
kolt_desktop_start "$run"
kolt_desktop_serve  # one server for every run, as a desktop has

timer="$build/bin/startup_timer.exe"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# A warm-up of each, then the runs in turns so that drift hits both alike.
wine "$timer" "$(winpath "$run/minimal_window.exe")" 1 >/dev/null 2>&1 </dev/null
wine "$timer" "$(winpath "$run/koltSSel.exe")" 1 --tree >/dev/null 2>&1 </dev/null
: >"$run/minimal.txt"
: >"$run/koltSSel.txt"
for _ in $(seq "$runs"); do
    wine "$timer" "$(winpath "$run/minimal_window.exe")" 1 2>/dev/null </dev/null | tr -d '\r' >>"$run/minimal.txt"
    wine "$timer" "$(winpath "$run/koltSSel.exe")" 1 --tree 2>/dev/null </dev/null | tr -d '\r' >>"$run/koltSSel.txt"
done

median() { sort -n "$1" | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
base=$(median "$run/minimal.txt")
kolt=$(median "$run/koltSSel.txt")
echo "runs: $runs each"
echo "minimal window, median ms until shown:            $base"
echo "koltSSel.exe, median ms until shown with the tree: $kolt"
awk -v k="$kolt" -v b="$base" 'BEGIN {printf "ratio koltSSel / minimal: %.2f (aim: at most 1.30)\n", k / b}'
echo "koltSSel.exe size: $(stat -c %s "$run/koltSSel.exe") bytes"
