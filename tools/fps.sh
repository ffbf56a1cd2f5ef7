#!/usr/bin/env bash
# Frame rate of the real program under Xvfb in a fixed scenario (a splash,
# hard rain, the box dropped into the pool), and the share of each frame spent
# in our computation, in the simulation step and in drawing.
#   tools/fps.sh [frames]     (default 500, after 50 frames of warm-up)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-500}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target caustics frame_timing >/dev/null

export CAUSTICS_BIN=$PWD/build/caustics
E2E_SCREEN=${FPS_SCREEN:-800x600x24}
. tests/e2e/lib.sh
start_xvfb
export LD_PRELOAD=$PWD/build/libframe_timing.so FPS_FRAMES=$frames FPS_WARMUP=50
start_demo
unset LD_PRELOAD
# Make the window a known size, then the scenario: splash, hard rain, box shown and dropped.
xdotool windowsize "$DEMO_WIN" 640 480 || true
send_keys s h b m
status=$(wait_exit 600)
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "scenario: splash, hard rain, box dropped; window 640 x 480, Xvfb with Mesa's software renderer"
cat "$DEMO_ERR"
