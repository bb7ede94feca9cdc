#!/usr/bin/env bash
# Runs one Windows program under the test desktop that wine-env.sh started
# (KOLT_WINE_DIR names it). A program that fails or outlives its time limit
# (KOLT_TEST_TIMEOUT seconds, default 240) leaves a screenshot of the display
# in KOLT_WINE_DIR/screenshots. With KOLT_LOGPIXELS it runs in the prefix of
# that display scale (wine-prefix.sh).
set -uo pipefail
dir=${KOLT_WINE_DIR:?KOLT_WINE_DIR must name the folder given to wine-env.sh}
. "$(dirname "$0")/../tools/desktop.sh"
kolt_desktop_use "$dir" || exit 1
# Wine's own service processes outlive the program and would inherit CTest's
# output pipe, keeping the test "running" after it ended: give them a file.
log=$(mktemp "${TMPDIR:-/tmp}/kolt-wine-XXXXXX")
timeout --kill-after=10 "${KOLT_TEST_TIMEOUT:-240}" wine "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
# A crash is not always seen in the exit code: once Wine's debugger has taken
# over, the process can end with 0 half-way through its tests.
if [ $rc -eq 0 ] && grep -q '^wine: Unhandled' "$log"; then
    echo "the program crashed" >&2
    rc=1
fi
rm -f "$log"
if [ $rc -ne 0 ]; then
    mkdir -p "$dir/screenshots"
    shot="$dir/screenshots/$(basename "$1" .exe)-$(date +%H%M%S).png"
    import -window root "$shot" 2>/dev/null && echo "screenshot of the test display: $shot" >&2
    [ $rc -eq 124 ] && echo "timed out after ${KOLT_TEST_TIMEOUT:-240} s" >&2
fi
exit $rc
