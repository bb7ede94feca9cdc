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

run=$root/build/demo
. tools/demo-setup.sh
kolt_demo_setup --keep-settings "$run"

# The same prefix set-up as the screenshot's (tools/desktop.sh), on your display.
. tools/desktop.sh
export KOLT_LOCALE=ja_JP.UTF-8
kolt_prefix "$run"
cd "$run"
exec wine koltSSel.exe
