#!/usr/bin/env bash
# The whole test run: installs what is missing, checks the sources' layout
# (tools/check-format.sh), builds the three presets (four where the machine
# starts no 32-bit program: win64 too) and runs every test (native, native
# under ASan+UBSan with short fuzzing runs, Windows under Wine). Exits non-zero
# on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/check-format.sh

jobs=$(nproc)
# The Windows tests run the 32-bit programs under the 32-bit Wine, which is a
# 32-bit Linux program itself. Some machines' kernels start none (a sandbox
# without the 32-bit system calls answers "Exec format error"): there the
# 32-bit build and its checks that need no Wine still run, and the Windows
# tests run from the same sources built for 64-bit Windows (the win64 preset)
# under the 64-bit Wine.
. tools/desktop.sh
presets=(native native-asan win32)
kolt_runs_32bit || presets+=(win64)
for preset in "${presets[@]}"; do
    echo "=== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    if [ "$preset" = win32 ] && ! kolt_runs_32bit; then
        echo "=== win32: not run under Wine, this machine starts no 32-bit program" \
            "(/lib/ld-linux.so.2: $({ /lib/ld-linux.so.2 --version; } 2>&1 | head -1 | sed 's/.*: //' || true))."
        echo "    Its $(ctest --preset "$preset" -N -L wine | grep -c 'Test *#') tests labelled 'wine' run" \
            "from the win64 build below."
        ctest --preset "$preset" -j 2 -LE wine
    elif [ "$preset" = win32 ] || [ "$preset" = win64 ]; then
        # One desktop for the whole run; GUI tests lock it one at a time.
        ctest --preset "$preset" -j 2
    else
        ctest --preset "$preset" -j "$jobs"
    fi
done
# The debug preset is not built here; that it configures is checked.
cmake --preset win32-debug >/dev/null
