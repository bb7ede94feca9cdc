#!/usr/bin/env bash
# The whole test run: installs what is missing, checks the sources' layout
# (tools/check-format.sh), builds the three presets and runs every test
# (native, native under ASan+UBSan with short fuzzing runs, Windows under
# Wine). Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/check-format.sh

jobs=$(nproc)
for preset in native native-asan win32; do
    echo "=== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    if [ "$preset" = win32 ]; then
        # One desktop for the whole run; GUI tests lock it one at a time.
        ctest --preset "$preset" -j 2
    else
        ctest --preset "$preset" -j "$jobs"
    fi
done
# The debug preset is not built here; that it configures is checked.
cmake --preset win32-debug >/dev/null
