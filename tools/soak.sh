#!/usr/bin/env bash
# A long run of the real program under Xvfb in a small window, driven by
# rounds of keys (hard rain, splashes, the box shown, dropped, reset and
# retyped, seabed and light pushed past their limits, scenery, floor, mesh,
# caustics, viewing level and pause switched), until it has drawn the frames
# asked for. Then: it must still run, the water grids and the camera must hold
# sound values (read with gdb), and q must end it with status 0. Prints the
# resident size at start-up, along the way and at the end.
#
#   tools/soak.sh [frames]            (default 50000)
#   SOAK_HEAPTRACK=1 tools/soak.sh    the same run under heaptrack, then the
#                                     allocations made through our own code
#                                     (tools/heap_report.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-50000}
. tools/packages.sh
ensure_packages gdb ${SOAK_HEAPTRACK:+heaptrack}
cmake -S . -B build >/dev/null
cmake --build build -j2 --target caustics frame_counter >/dev/null

export CAUSTICS_BIN=$PWD/build/caustics
E2E_SCREEN=${SOAK_SCREEN:-320x240x24}
. tests/e2e/lib.sh
. tests/e2e/soak_lib.sh
start_xvfb
if [ -n "${SOAK_HEAPTRACK:-}" ]; then
    DEMO_LAUNCHER="heaptrack -o $E2E_TMP/heap"
    E2E_KEEP=1
fi
start_counted_demo
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
sleep 1
start_rss=$(rss_kib)
start_time=$SECONDS
echo "soak: $frames frames in a 200 x 150 window; resident at start-up $start_rss KiB"

run_soak_rounds "$frames" 5000
# A round may end paused for a moment; let the last frames settle.
sleep 1
end_frames=$(frames_drawn)
end_rss=$(rss_kib)
echo "soak: $end_frames frames, $SOAK_ROUNDS rounds of keys in $((SECONDS - start_time)) s; alive"
echo "soak: resident $start_rss KiB at start-up, $end_rss KiB at the end ($((end_rss - start_rss)) KiB more)"
[ -n "${SOAK_NO_GDB:-}" ] || check_grids_with_gdb

send_keys q
status=$(wait_exit 120)
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0"
echo "soak: q -> 0"

if [ -n "${SOAK_HEAPTRACK:-}" ]; then
    heapfile=$(ls "$E2E_TMP"/heap.* | head -n1)
    cp "$heapfile" build/
    bash tools/heap_report.sh "build/$(basename "$heapfile")"
fi
