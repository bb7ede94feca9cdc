#!/usr/bin/env bash
# Start-up benchmark: under the same Wine and display, starts in turns
#   koltSSel.exe on the demo game folder,
#   the floor: koltSSel's window built from koltSSel's own compiled resources
#     with the same tree items, reading no file (bench/startup/floor_window.cpp),
#   a plain program that only opens one window,
# and times each alike: from process start until its window answers a message
# with the tree (where there is one) holding all its items. Prints the medians,
# koltSSel against the floor (the aim is at most 1.05: what is above the floor
# is our own work) and against the plain window, and the size of koltSSel.exe.
# For each koltSSel build also the first selection of a scenario (the first
# load, with whatever it loads the first time) against the next selection.
# Not part of the tests. Other builds of koltSSel.exe named after RUNS (an
# earlier commit's, say) are timed alike in the same run, on the same game
# folder, each from a folder of its own with the same settings file.
#   tools/bench-startup.sh [RUNS [OTHER-koltSSel.exe...]]
#   (RUNS default 30: fewer runs scatter the ratio by ±0.1)
# --requests counts instead of timing: the same starts of the floor, koltSSel
# and the OTHERs (RUNS each, default 3), then as many of koltSSel and the
# OTHERs with one selection in the tree (startup_timer --select), all under one
# Wine server that logs every request (wineserver -d1, build/bench-startup/
# requests.log); tools/count-requests.py prints each program's requests from
# its start until it ends (a selection's between its marks), by kind and by
# window class, and koltSSel / floor. The counts repeat from run to run within
# a few requests, whatever the machine is doing.
#   tools/bench-startup.sh --requests [RUNS [OTHER-koltSSel.exe...]]
set -euo pipefail
requests=
if [ "${1:-}" = --requests ]; then
    requests=1
    shift
fi
# Timed, each koltSSel start ends with two selections; counted, the starts
# select nothing and the selections are counted apart.
select=--select
[ -z "$requests" ] || select=
others=()
for other in "${@:2}"; do others+=("$(realpath "$other")"); done
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-${requests:+3}}
runs=${runs:-30}
run=$root/build/bench-startup
. tools/demo-setup.sh
kolt_demo_setup "$run" startup_timer minimal_window startup_floor
cp "$build/bin/minimal_window.exe" "$build/bin/startup_floor.exe" "$run/"
# Every port and every scenario of the demo game folder is one tree item.
items=$(python3 -c 'import json, sys
rows = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
print(len(rows) + len({r["portName"] for r in rows}))' "$build/demo-game.expected.jsonl")

. tools/desktop.sh
export KOLT_LOCALE=ja_JP.UTF-8 KOLT_SCREEN=1024x768x24
trap 'kolt_desktop_stop "$run"' EXIT
kolt_desktop_start "$run"
# One server for every run, as a desktop has; with --requests, it logs them.
kolt_desktop_serve ${requests:+"$run/requests.log"}

timer="$build/bin/startup_timer.exe"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
programs=(startup_floor koltSSel)
[ -n "$requests" ] || programs=(minimal_window "${programs[@]}")
for i in "${!others[@]}"; do
    mkdir -p "$run/other$i"
    cp "${others[$i]}" "$run/other$i/koltSSel.exe"
    cp "$run/koltSSel.ini" "$run/other$i/"
    programs+=("other$i")
done
args() {  # the timer's arguments for one program
    case $1 in
    minimal_window) echo "$(winpath "$run/minimal_window.exe")" 1 ;;
    other*) echo "$(winpath "$run/$1/koltSSel.exe")" 1 --tree "$items" ${select} ;;
    koltSSel) echo "$(winpath "$run/$1.exe")" 1 --tree "$items" ${select} ;;
    *) echo "$(winpath "$run/$1.exe")" 1 --tree "$items" ;;
    esac
}
# A warm-up of each, then the runs in turns so that drift hits all alike.
for p in "${programs[@]}"; do
    # shellcheck disable=SC2046  # the arguments hold no spaces
    wine "$timer" $(args "$p") >/dev/null 2>&1 </dev/null
    : >"$run/$p.txt"
done
for _ in $(seq "$runs"); do
    for p in "${programs[@]}"; do
        # shellcheck disable=SC2046
        wine "$timer" $(args "$p") 2>/dev/null </dev/null | tr -d '\r' >>"$run/$p.txt"
    done
done
for p in "${programs[@]}"; do
    [ "$(wc -l <"$run/$p.txt")" -eq "$runs" ] || { echo "$p: the timer gave no time for some runs" >&2; exit 1; }
done

if [ -n "$requests" ]; then
    for _ in $(seq "$runs"); do
        for p in "${programs[@]:1}"; do
            # shellcheck disable=SC2046
            wine "$timer" $(args "$p") --select >/dev/null 2>&1 </dev/null ||
                { echo "$p: the timer saw no selection shown" >&2; exit 1; }
        done
    done
    wineserver -k  # the log is whole once the server has ended
    wineserver -w
    names=(floor=bench-startup\\startup_floor.exe koltSSel=bench-startup\\koltSSel.exe)
    for i in "${!others[@]}"; do names+=("other$i=other$i\\koltSSel.exe"); done
    python3 tools/count-requests.py "$run/requests.log" "${names[@]}"
    for i in "${!others[@]}"; do echo "  other$i: ${others[$i]}"; done
    exit 0
fi

# The median of column $2 (default 1) of file $1.
median() { awk -v k="${2:-1}" '{print $k}' "$1" | sort -n |
    awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
selections() {  # the first and the next selection's medians of one koltSSel build
    awk -v f="$(median "$1" 2)" -v n="$(median "$1" 3)" -v name="$2" \
        'BEGIN {printf "  %s: first selection %s ms, next selection %s ms, first / next %.2f\n", name, f, n, f / n}'
}
plain=$(median "$run/minimal_window.txt")
floor=$(median "$run/startup_floor.txt")
kolt=$(median "$run/koltSSel.txt")
echo "runs: $runs each; median ms from process start until the window answers, its tree holding $items items"
echo "  plain one-window program:                 $plain"
echo "  floor (koltSSel's window, nothing read):  $floor"
echo "  koltSSel.exe on the demo game folder:     $kolt"
awk -v k="$kolt" -v f="$floor" -v p="$plain" 'BEGIN {
    printf "ratio koltSSel / floor: %.2f (aim: at most 1.05)\n", k / f
    printf "ratio koltSSel / plain window: %.2f (floor / plain window: %.2f)\n", k / p, f / p
}'
selections "$run/koltSSel.txt" "this tree's koltSSel"
for i in "${!others[@]}"; do
    selections "$run/other$i.txt" "${others[$i]}"
done
for i in "${!others[@]}"; do
    other=$(median "$run/other$i.txt")
    awk -v o="$other" -v f="$floor" -v k="$kolt" -v name="${others[$i]}" 'BEGIN {
        printf "  %s: %s ms, / floor %.2f, / this tree'"'"'s koltSSel %.2f\n", name, o, o / f, o / k
    }'
done
echo "koltSSel.exe size: $(stat -c %s "$run/koltSSel.exe") bytes"
