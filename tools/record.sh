#!/usr/bin/env bash
# Makes the README's moving picture: runs the demo in a virtual X server
# through a short scene (the water at rest, a splash, then the box shown and
# dropped into the pool), grabs the window frame after frame and writes an
# animated GIF whose frame delays are the times between the grabs, so it plays
# at the speed the demo ran.
#   tools/record.sh [output.gif]      (default docs/caustics.gif)
# Uses build/caustics (built if missing) unless CAUSTICS_BIN names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/caustics.gif}")
. "$root/tools/packages.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
if [ -z "${CAUSTICS_BIN:-}" ]; then
    if [ ! -x "$root/build/caustics" ]; then
        cmake -S "$root" -B "$root/build" >/dev/null
        cmake --build "$root/build" -j2 --target caustics
    fi
    export CAUSTICS_BIN=$root/build/caustics
fi

GEOMETRY=${GEOMETRY:-480x360}   # window size, handed to the toolkit
MAX_BYTES=$((3 * 1024 * 1024))  # the README's picture stays small enough to load at once
export E2E_SCREEN=${E2E_SCREEN:-640x480x24}
. "$root/tests/e2e/lib.sh"

FRAME_NS=70000000  # one grab every 70 ms: about 14 frames a second
frames=0
next_grab=0
# grab_one: waits for the next grab's time, then saves the window and the
# time it was taken (nanoseconds).
grab_one() {
    local now name
    now=$(date +%s%N)
    [ "$next_grab" -gt 0 ] || next_grab=$now
    if [ "$now" -lt "$next_grab" ]; then
        sleep "$(printf '0.%09d' $((next_grab - now)))"
    fi
    next_grab=$((next_grab + FRAME_NS))
    frames=$((frames + 1))
    name=$E2E_TMP/frame-$(printf %04d $frames)
    date +%s%N >"$name.time"
    xwd -silent -id "$DEMO_WIN" >"$name.xwd"
}
grab() { for _ in $(seq "$1"); do grab_one; done; }

start_xvfb
DEMO_ARGS="-geometry $GEOMETRY" start_demo
# The camera turned to look down into the pool, where the caustics play on
# the floor (a left drag toward the viewer), and brought a little closer (a
# right drag away from the viewer).
drag() {
    xdotool mousemove --window "$DEMO_WIN" "$2" "$3" mousedown "$1"
    xdotool mousemove --window "$DEMO_WIN" "$2" $(($3 + $4 / 2))
    xdotool mousemove --window "$DEMO_WIN" "$2" $(($3 + $4)) mouseup "$1"
}
drag 1 240 180 40
drag 3 240 250 -50
grab 8
send_keys s
grab 30
send_keys b
grab 10
send_keys m
# The box falls until it hits the water and the demo says so.
for _ in $(seq 100); do
    grep -qx KABLoOOYE "$DEMO_OUT" && break
    grab_one
done
grep -qx KABLoOOYE "$DEMO_OUT" || fail "the box never hit the water"
grab 44
send_keys q
[ "$(wait_exit)" = 0 ] || fail "the demo did not end with status 0"

# Each frame is shown until the next was taken; the last as long as the one before.
args=()
previous=
for n in $(seq "$frames"); do
    name=$E2E_TMP/frame-$(printf %04d "$n")
    convert "xwd:$name.xwd" "$name.png"
    now=$(cat "$name.time")
    if [ -n "$previous" ]; then
        args+=(-delay "$(( (now - previous + 5000000) / 10000000 ))" "$prev_png")
    fi
    previous=$now prev_png=$name.png
done
args+=(-delay "${args[-2]}" "$prev_png")
# One palette for every frame (+remap), so colours do not flicker from frame
# to frame; no dithering, whose noise would change every frame and cost bytes.
mkdir -p "$(dirname "$out")"
convert -loop 0 "${args[@]}" +dither +remap -layers Optimize "$out"

count=$(identify "$out" | wc -l)
size=$(identify -format '%W x %H\n' "$out" | head -n1)
bytes=$(stat -c %s "$out")
[ "$count" -ge 40 ] || fail "$out has only $count frames"
[ "$bytes" -le "$MAX_BYTES" ] || fail "$out is $bytes bytes, more than $MAX_BYTES"
echo "saved $out: $count frames, $size, $bytes bytes"
