#!/usr/bin/env bash
# A short input storm against the real program: 800 random keys (never Esc,
# q or Q), drags with every button combination, middle clicks and resizes down
# to a width and a height of 1 (X refuses 0). It must still run with a sound
# camera and water (when gdb is at hand); Esc then ends it with status 1.
E2E_SCREEN=320x240x24
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/soak_lib.sh"
. "$(dirname "$0")/storm_lib.sh"

start_xvfb
start_counted_demo
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
run_storm "${STORM_EVENTS:-800}"
if command -v gdb >/dev/null; then check_grids_with_gdb; fi
send_keys Escape
status=$(wait_exit)
[ "$status" = 1 ] || fail "Esc ended the program with status $status, not 1"
echo "storm: $STORM_SUMMARY; Esc -> 1"
