#!/usr/bin/env bash
# An input storm against the real program under Xvfb: random key presses of
# every kind but Esc, q and Q, drags with every combination of buttons, middle
# clicks and window resizes (to a height of 0 and a width of 1 among others),
# sent with xdotool. Then: it still runs, gdb finds the camera and the water
# sound, and Esc, q and Q end fresh runs with statuses 1, 0 and 0.
#
#   tools/storm.sh [events]    (default 10000)
set -euo pipefail
cd "$(dirname "$0")/.."
events=${1:-10000}
. tools/packages.sh
ensure_packages gdb xdotool x11-utils
cmake -S . -B build >/dev/null
cmake --build build -j2 --target caustics frame_counter >/dev/null
export CAUSTICS_BIN=$PWD/build/caustics
E2E_SCREEN=320x240x24
. tests/e2e/lib.sh
. tests/e2e/soak_lib.sh
. tests/e2e/storm_lib.sh
start_xvfb
start_counted_demo
echo "storm: a height of 0 gives $(size_after_resize 200 0), a width of 1 gives $(size_after_resize 1 150)"
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
run_storm "$events"
echo "storm: $STORM_SUMMARY; $(frames_drawn) frames; alive"
check_grids_with_gdb
send_keys Escape
status=$(wait_exit)
[ "$status" = 1 ] || fail "Esc ended the program with status $status, not 1"
check_exit_key q 0
check_exit_key Q 0
echo "storm: Esc -> 1, q -> 0, Q -> 0"
