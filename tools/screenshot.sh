#!/usr/bin/env bash
# Makes the README's screenshot: runs the demo in a virtual X server, makes a
# splash, watches the caustics spread and keeps the frame in which they
# light the most of the floor.
#   tools/screenshot.sh [output.png]      (default docs/screenshot.png)
# Uses build/caustics (built if missing) unless CAUSTICS_BIN names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/screenshot.png}")
if [ -z "${CAUSTICS_BIN:-}" ]; then
    if [ ! -x "$root/build/caustics" ]; then
        cmake -S "$root" -B "$root/build" >/dev/null
        cmake --build "$root/build" -j2 --target caustics
    fi
    export CAUSTICS_BIN=$root/build/caustics
fi

GEOMETRY=${GEOMETRY:-800x600}  # window size, handed to the toolkit
WATCH_FRAMES=${WATCH_FRAMES:-24}  # frames looked at after the splash, a quarter second apart
export E2E_SCREEN=${E2E_SCREEN:-1024x768x24}
. "$root/tests/e2e/lib.sh"

# Pixels at which $1 is brighter than $2 by more than 24 levels of blue and
# by at least as much in blue as in red: the caustics' light-blue light.
caustic_pixels() {
    convert "$1" -alpha off "$2" -alpha off -compose minus_src -composite -write mpr:d +delete \
        \( mpr:d -channel B -separate +channel -threshold 9.6% \) \
        \( mpr:d -channel R -separate +channel \( mpr:d -channel B -separate +channel \) \
           -compose minus_src -composite -threshold 0 -negate \) \
        -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:
}

start_xvfb
DEMO_ARGS="-geometry $GEOMETRY" start_demo
sleep 1
screenshot "$E2E_TMP/calm.png"

send_keys s
best=0
for n in $(seq "$WATCH_FRAMES"); do
    sleep 0.25
    screenshot "$E2E_TMP/frame.png"
    lit=$(caustic_pixels "$E2E_TMP/frame.png" "$E2E_TMP/calm.png")
    if [ "$lit" -gt "$best" ]; then
        best=$lit
        cp "$E2E_TMP/frame.png" "$E2E_TMP/best.png"
    fi
done
[ "$best" -gt 0 ] || fail "no caustics showed after the splash"

mkdir -p "$(dirname "$out")"
cp "$E2E_TMP/best.png" "$out"
echo "saved $out: caustics light $best pixels"
