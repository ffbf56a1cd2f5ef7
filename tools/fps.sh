#!/usr/bin/env bash
# Frame rate of the real program under Xvfb in a fixed scenario (a splash,
# hard rain, the box dropped into the pool), and the share of each frame spent
# in our computation, in the simulation step and in drawing.
#   tools/fps.sh [frames]     (default 500, after 50 frames of warm-up)
# FPS_SIZE sets the window (default 640x480). FPS_BIN names another build of
# the program to measure (then nothing is built; FPS_TIMING names the timing
# harness, by default the one in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-500}
size=${FPS_SIZE:-640x480}
if [ -z "${FPS_BIN:-}" ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)" --target caustics frame_timing >/dev/null
fi
export CAUSTICS_BIN=${FPS_BIN:-$PWD/build/caustics}
timing=${FPS_TIMING:-$PWD/build/libframe_timing.so}

# The screen leaves room around the window for the toolkit's decorations.
width=${size%x*} height=${size#*x}
E2E_SCREEN="$((width + 64))x$((height + 64))x24"
. tests/e2e/lib.sh
start_xvfb
export LD_PRELOAD=$timing FPS_FRAMES=$frames FPS_WARMUP=50
start_demo
unset LD_PRELOAD
# Make the window a known size, then the scenario: splash, hard rain, box shown and dropped.
xdotool windowsize --sync "$DEMO_WIN" "$width" "$height" || true
send_keys s h b m
status=$(wait_exit 600)
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "scenario: splash, hard rain, box dropped; window $width x $height, Xvfb with Mesa's software renderer"
cat "$DEMO_ERR"
