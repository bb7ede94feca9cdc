#!/usr/bin/env bash
# Prints the CPU time the launching process uses while a launch watches the
# game's standby program for 30 seconds (or the number of seconds given):
# a plain watch, a standby program that refuses full access, and one that
# cannot be opened at all, each with its ratio to a watch that retries a
# refused open at once, measured in the same run. Expected: near zero.
# Not part of the test run (it takes a good minute and a half):
#   bench/measure-watch-cpu.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j 2 --target watch_cpu >/dev/null
# A desktop of its own, so that a test run's desktop is neither used nor stopped.
dir=$PWD/build/win32/wine-measure
cmake/wine-env.sh start "$dir" >/dev/null
trap 'cmake/wine-env.sh stop "$dir"' EXIT
KOLT_WINE_DIR=$dir KOLT_TEST_TIMEOUT=900 cmake/wine-run.sh build/win32/bench/watch_cpu.exe "${1:-30}"
