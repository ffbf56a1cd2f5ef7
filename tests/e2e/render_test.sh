#!/usr/bin/env bash
# The picture of the real program: calm water throws no caustics, a splash
# draws bright light-blue lines on the floor, and without scenery the water
# is a translucent blue film over the floor.
. "$(dirname "$0")/lib.sh"

# Prints the number of pixels at which $1 is brighter than $2 by more than
# 24 levels in blue and at least as much in blue as in red: added light of
# the caustics' light-blue tint.
bluer_pixels() {
    paste -d' ' <(pixel_list "$1") <(pixel_list "$2") |
        awk '{ db = $3 - $6; dr = $1 - $4; if (db > 24 && db >= dr) n++ } END { print n + 0 }'
}

# One line per pixel: r g b, 8 bits each.
pixel_list() {
    convert "$1" -alpha off -depth 8 txt:- | sed -nE 's/^[0-9]+,[0-9]+: \(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/p'
}

# Prints how many pixels of $1 lie within 4 levels of the colour r g b.
pixels_near() {
    pixel_list "$1" | awk -v r="$2" -v g="$3" -v b="$4" '
        function d(a, c) { return a > c ? a - c : c - a }
        d($1, r) <= 4 && d($2, g) <= 4 && d($3, b) <= 4 { n++ } END { print n + 0 }'
}

differing() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

start_xvfb
start_demo
sleep 1

# Calm water: every caustic image is too dim to draw, so hiding the caustics
# changes no pixel.
screenshot "$E2E_TMP/calm.png"
send_keys c
sleep 0.5
screenshot "$E2E_TMP/calm-hidden.png"
[ "$(differing "$E2E_TMP/calm.png" "$E2E_TMP/calm-hidden.png")" = 0 ] ||
    fail "calm water shows caustics"
lit=$(pixel_list "$E2E_TMP/calm.png" | awk '$1 + $2 + $3 > 60 { n++ } END { print n + 0 }')
[ "$lit" -gt 5000 ] || fail "the calm scene is nearly black ($lit lit pixels)"

# A splash: once its droplets have fallen back, freeze the waves and compare
# the same surface with and without its caustics.
send_keys c s
sleep 3
send_keys p
wait_for_output "System paused"
sleep 0.5
screenshot "$E2E_TMP/splash.png"
send_keys c
sleep 0.5
screenshot "$E2E_TMP/splash-hidden.png"
bright=$(bluer_pixels "$E2E_TMP/splash.png" "$E2E_TMP/splash-hidden.png")
echo "render: a splash lights $bright pixels in light blue"
[ "$bright" -gt 300 ] || fail "the splash shows no caustic lines ($bright light-blue pixels)"

# No scenery (the fourth 'e'), caustics still hidden: the water is a film
# of 0.4 x (0.196, 0.196, 0.804) added over what lies behind it. Without the
# floor (one 't' from the last set's floor) it shows alone over black.
send_keys e e e e
wait_for_output "NO ENVIRONMENT SELECTED"
sleep 0.5
screenshot "$E2E_TMP/plain.png"
send_keys t
sleep 0.5
screenshot "$E2E_TMP/plain-no-floor.png"
film=$(pixels_near "$E2E_TMP/plain-no-floor.png" 20 20 82)
echo "render: $film pixels of plain blue water over black"
[ "$film" -gt 5000 ] || fail "no translucent blue water surface without scenery ($film pixels)"
through=$(paste -d' ' <(pixel_list "$E2E_TMP/plain.png") <(pixel_list "$E2E_TMP/plain-no-floor.png") |
    awk '$4 > 15 && $4 < 25 && $6 > 77 && $6 < 87 && $1 + $2 + $3 > $4 + $5 + $6 + 30 { n++ } END { print n + 0 }')
echo "render: the floor shows through the water at $through pixels"
[ "$through" -gt 1000 ] || fail "the water hides the floor ($through pixels show it through)"

send_keys q
[ "$(wait_exit)" = 0 ] || fail "q did not end the program with status 0"
