#!/usr/bin/env bash
# The picture of the real program: calm water throws no caustics, a splash
# draws bright light-blue lines on the floor, and without scenery the water
# is a translucent blue film over the floor.
. "$(dirname "$0")/lib.sh"

# Counting is done by ImageMagick on whole images; each count prints the
# number of white pixels of a mask.
count_white() {
    convert "$@" -format '%[fx:round(mean*w*h)]' info:
}

# Pixels at which $1 is brighter than $2 by more than 24 levels of blue and
# by at least as much in blue as in red: light added in the caustics'
# light-blue tint (yellowish droplets and reflections do not count).
bluer_pixels() {
    count_white "$1" -alpha off "$2" -alpha off -compose minus_src -composite -write mpr:d +delete \
        \( mpr:d -channel B -separate +channel -threshold 9.6% \) \
        \( mpr:d -channel R -separate +channel \( mpr:d -channel B -separate +channel \) \
           -compose minus_src -composite -threshold 0 -negate \) \
        -compose multiply -composite
}

# Mask of the pixels of $1 within a few levels of the colour $2 (rgb(...)).
near_mask() {
    convert "$1" -alpha off -fuzz 2.7% -fill black +opaque "$2" -fill white -opaque "$2" "$3"
}

# Pixels of $1 whose channels average more than 20 levels.
lit_pixels() {
    count_white "$1" -alpha off -grayscale Average -threshold 7.8%
}

# Pixels at which $1 and $2 differ by more than 10 levels: the software
# rasteriser is not bit-exact from frame to frame at the edges of blended
# primitives, while the dimmest caustic adds over 30 levels of blue.
differing() {
    compare -metric AE -fuzz 4% "$1" "$2" null: 2>&1 || true
}

start_xvfb
start_probed_demo

# Calm water: every caustic image is too dim to draw, so hiding the caustics
# changes no pixel.
screenshot "$E2E_TMP/calm.png"
send_keys c
wait_drawn
screenshot "$E2E_TMP/calm-hidden.png"
[ "$(differing "$E2E_TMP/calm.png" "$E2E_TMP/calm-hidden.png")" = 0 ] ||
    fail "calm water shows caustics"
lit=$(lit_pixels "$E2E_TMP/calm.png")
[ "$lit" -gt 5000 ] || fail "the calm scene is nearly black ($lit lit pixels)"

# A splash: its rings focus the light for some ninety wave steps, however
# fast this machine draws them. Let the waves run a few steps at a time, then
# freeze them and compare the same surface with and without its caustics,
# until they show.
pauses=0
bright=0
splash_lights_floor() {
    [ "$(frames_drawn)" -le $((splash_frame + 300)) ] ||
        fail "300 wave steps after the splash, still no caustic lines ($bright light-blue pixels)"
    wait_more_frames 4
    send_keys p
    pauses=$((pauses + 1))
    wait_for_lines "System paused" "$pauses"
    wait_drawn
    screenshot "$E2E_TMP/splash.png"
    send_keys c
    wait_drawn
    screenshot "$E2E_TMP/splash-hidden.png"
    send_keys c
    bright=$(bluer_pixels "$E2E_TMP/splash.png" "$E2E_TMP/splash-hidden.png")
    E2E_WAIT_DETAIL="$bright light-blue pixels after $pauses pauses"
    [ "$bright" -gt 300 ] && return 0
    send_keys p
    return 1
}
send_keys c s
wait_drawn
splash_frame=$(frames_drawn)
wait_until 120 "the splash to draw caustic lines" splash_lights_floor
echo "render: a splash lights $bright pixels in light blue"

# No scenery (the fourth 'e'), caustics hidden, waves frozen: the water is
# a film of 0.4 x (0.196, 0.196, 0.804) added over what lies behind it.
FILM="rgb(20,20,82)"
send_keys c e e e e
wait_for_output "NO ENVIRONMENT SELECTED"
wait_drawn
screenshot "$E2E_TMP/plain.png"
# Which floor shows now depends on the last scenery set a frame was drawn
# with; five 't' presses pass every floor and no floor once. The frame
# without a floor shows the most bare film over black.
film=0
for t in 1 2 3 4 5; do
    send_keys t
    wait_drawn
    screenshot "$E2E_TMP/floor-$t.png"
    near_mask "$E2E_TMP/floor-$t.png" "$FILM" "$E2E_TMP/film-$t.png"
    n=$(count_white "$E2E_TMP/film-$t.png")
    if [ "$n" -gt "$film" ]; then
        film=$n
        cp "$E2E_TMP/floor-$t.png" "$E2E_TMP/plain-no-floor.png"
        cp "$E2E_TMP/film-$t.png" "$E2E_TMP/film.png"
    fi
done
echo "render: $film pixels of plain blue water over black"
[ "$film" -gt 5000 ] || fail "no translucent blue water surface without scenery ($film pixels)"
# Where the bare film lies over black, the floor must show through it.
through=$(count_white "$E2E_TMP/film.png" \
    \( "$E2E_TMP/plain.png" -alpha off "$E2E_TMP/plain-no-floor.png" -alpha off -compose minus_src -composite \
       -grayscale Average -threshold 3.9% \) -compose multiply -composite)
echo "render: the floor shows through the water at $through pixels"
[ "$through" -gt 1000 ] || fail "the water hides the floor ($through pixels show it through)"

send_keys q
[ "$(wait_exit)" = 0 ] || fail "q did not end the program with status 0"
