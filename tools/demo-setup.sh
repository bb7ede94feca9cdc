# shellcheck shell=bash
# What the demo, the screenshot and the start-up benchmark do first. Sourced
# from the project's folder, not run:
#   . tools/demo-setup.sh
#   kolt_demo_setup [--keep-settings] RUN_DIR [TARGET...]
# installs what is missing, builds koltSSel.exe, the demo game folder, the
# stand-in game programs and the TARGETs (the win32 preset, or win64 where the
# machine starts no 32-bit program: kolt_windows_preset), copies koltSSel.exe
# into RUN_DIR with a settings file beside it that names the demo game folder
# (--keep-settings: one already there is kept, with the user's changes) and
# the stand-ins into the game folder. Sets `build` (the build folder, its
# programs in $build/bin) and `game` (the demo game folder), and exports the
# build's KOLT_WINEARCH.

kolt_demo_setup() {
    local keep=
    if [ "$1" = --keep-settings ]; then
        keep=1
        shift
    fi
    local run=$1
    shift
    tools/install-deps.sh
    . tools/desktop.sh
    local preset
    preset=$(kolt_windows_preset)
    export KOLT_WINEARCH=win32
    [ "$preset" != win64 ] || KOLT_WINEARCH=win64
    build=$PWD/build/$preset
    game=$build/demo-game
    mkdir -p "$run"
    local log=$run/build.log
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$(nproc)" --target koltSSel demo_game standins "$@"; } >"$log" 2>&1; then
        cat "$log" >&2
        return 1
    fi
    cp "$build/bin/koltSSel.exe" "$run/"
    cp "$build/bin/velq.exe" "$build/bin/dormaux.exe" "$build/bin/qmz48.exe" "$game/"
    # Wine's Z: is /.
    if [ -z "$keep" ] || [ ! -f "$run/koltSSel.ini" ]; then
        printf '[Option]\r\nGamePriority=32\r\nGameFolder=Z:%s\r\n' "${game//\//\\}" >"$run/koltSSel.ini"
    fi
}
