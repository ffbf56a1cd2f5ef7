#!/usr/bin/env bash
# The real program opens its window, prints exactly the banner and controls,
# and ends with status 0 on q and 1 on Esc.
. "$(dirname "$0")/lib.sh"

start_xvfb

start_demo
expected=$E2E_TMP/expected
{
    printf '\nQUARRY7 FINAL PROJECT: Under-water Caustics\n'
    printf 'CREDITS\n\n\n'
    printf 'MOUSE CONTROLS (Crystal Ball Interface):\n'
    printf 'Hold down LEFT button - \n\trotate the camera around the scene by moving the mouse\n'
    printf 'Hold down RIGHT button - \n\tzoom out by dragging the mouse toward you, \n\tzoom in by dragging the mouse away from you\n'
    printf "Click MIDDLE button - \n\tcreate a ripple when the mouse is over the water's surface\n\n\n"
    printf 'KEYBOARD CODES:\n'
    printf "'e' - Toggle environment scenery\n"
    printf "'t' - Toggle bottom of pool floor when no scenery is enabled\n\n"
    printf "'b' - Toggle display of the box\n"
    printf "'n' - Toggle the type of box\n"
    printf "'m' - Drop the box or freeze the box\n"
    printf "'v' - Reset the box\n\n"
    printf "'s' - Create a splash\n"
    printf "'l' - Toggle light rain on or off\n"
    printf "'h' - Toggle hard rain on or off\n\n"
    printf 'The seabed is initially at z = -16.000000\n'
    printf "'-' - Lower the seabed level\n"
    printf "'=' - Raise the seabed level\n\n"
    printf 'The light source is initially at (0.0, 10.0, 0.0)\n'
    printf "'4' - Translate the light source in the -x direction\n"
    printf "'6' - Translate the light source in the +x direction\n"
    printf "'2' - Translate the light source in the -y direction\n"
    printf "'8' - Translate the light source in the +y direction\n"
    printf "'9' - Translate the light source in the -z direction\n"
    printf "'1' - Translate the light source in the +z direction\n\n"
    printf "'c' - Toggle display of caustics\n"
    printf "'f' - Toggle mesh representation display\n"
    printf "'w' - Toggle viewing level between water surface and seabed levels\n"
    printf "'p' - Pause the simulation\n"
    printf "'q' - Quit the program\n\n"
} >"$expected"

send_keys q
status=$(wait_exit)
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0"

# The credits line (line 3) is free text; everything else must match byte for byte.
actual=$E2E_TMP/actual
awk 'NR == 3 { print "CREDITS"; next } { print }' "$DEMO_OUT" >"$actual"
[ "$(sed -n 3p "$DEMO_OUT")" != "" ] || fail "the credits line is empty"
if ! cmp -s "$expected" "$actual"; then
    diff "$expected" "$actual" >&2 || true
    fail "the console output differs from the banner"
fi

start_demo
send_keys Escape
status=$(wait_exit)
[ "$status" = 1 ] || fail "Esc ended the program with status $status, not 1"

echo "startup: window, banner, q -> 0, Esc -> 1"
