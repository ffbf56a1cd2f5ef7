#!/usr/bin/env bash
# A short soak of the real program in a small window: rounds of keys (rain,
# splashes, the box, seabed and light past their limits, scenery, pause)
# until it has drawn 1,500 frames. It must still run, its resident size must
# stay within bounds, its water grids and camera must hold sound values (when
# gdb is at hand), and q must end it with status 0.
E2E_SCREEN=320x240x24
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/soak_lib.sh"

start_xvfb
start_counted_demo
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
sleep 0.5
start_rss=$(rss_kib)
SOAK_PAUSE=0.1 run_soak_rounds "${SOAK_FRAMES:-1500}"
end_rss=$(rss_kib)
# The software GL driver's caches grow with what it has drawn; a steady leak
# of a frame's worth of memory would pass this long before 1,500 frames.
[ $((end_rss - start_rss)) -lt 65536 ] || fail "resident size grew from $start_rss to $end_rss KiB"
if command -v gdb >/dev/null; then check_grids_with_gdb; fi
send_keys q
status=$(wait_exit)
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0"
echo "soak: $(frames_drawn) frames in $SOAK_ROUNDS rounds; resident $start_rss -> $end_rss KiB; q -> 0"
