#!/usr/bin/env bash
# The real program takes a long run of key commands typed into its window and
# answers each on the console exactly: moves and refusals of the light and the
# seabed, box types, rain, pause, scenery, keys without a command; q ends it
# with status 0.
. "$(dirname "$0")/lib.sh"

start_xvfb
start_demo

keys=(
    2 2 2 2 2 2                                # light down to 5, then refused
    6 6 6 6 6 6 6 6 6 6 6 6 6                  # +x up to 12, then refused
    4                                          # back to 11
    9 9 9 9 9 9 9 9 9 9 9 9 9                  # -z down to -12, then refused
    1 8                                        # z back to -11, y up to 6
    equal equal equal equal equal equal equal  # seabed up to -10, then at its maximum
    minus minus                                # and down again, without limit
    n n n                                      # green, blue, red
    l h h                                      # light rain, hard rain, no rain
    p p                                        # paused, resumed silently
    e e e e e                                  # scenery 3, 6, 9, none, 0
    x E 3 t c c f f w w b b                    # silent keys
)
send_keys "${keys[@]}"
send_keys q
status=$(wait_exit)
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0"

expected=$E2E_TMP/expected
{
    printf 'The light is at position (0.000000, %s.000000, 0.000000)\n' 9 8 7 6 5
    printf 'The light cannot be translated along -y any further.\n'
    printf 'The light is at position (0.000000, 5.000000, 0.000000)\n'
    printf 'The light is at position (%s.000000, 5.000000, 0.000000)\n' 1 2 3 4 5 6 7 8 9 10 11 12
    printf 'The light cannot be translated along +x any further.\n'
    printf 'The light is at position (12.000000, 5.000000, 0.000000)\n'
    printf 'The light is at position (11.000000, 5.000000, 0.000000)\n'
    printf 'The light is at position (11.000000, 5.000000, %s.000000)\n' -1 -2 -3 -4 -5 -6 -7 -8 -9 -10 -11 -12
    printf 'The light cannot be translated along -z any further.\n'
    printf 'The light is at position (11.000000, 5.000000, -12.000000)\n'
    printf 'The light is at position (11.000000, 5.000000, -11.000000)\n'
    printf 'The light is at position (11.000000, 6.000000, -11.000000)\n'
    printf 'Seabed is at %s.000000\n' -15 -14 -13 -12 -11 -10
    printf 'Seabed is at maximum height, -10.000000\n'
    printf 'Seabed is at %s.000000\n' -11 -12
    printf 'Green box has mass of 2.000000\n'
    printf 'Blue box has mass of 0.500000\n'
    printf 'Red box has mass of 1.000000\n'
    printf 'Light rain falling\n'
    printf 'Hard rain falling\n'
    printf 'System paused\n'
    printf 'COW-STICS!!!\n'
    printf 'NO ENVIRONMENT SELECTED\n'
} >"$expected"

# Everything after the banner's last line and its blank line.
actual=$E2E_TMP/actual
awk 'done { print; next } /^'"'"'q'"'"' - Quit the program$/ { skip = 1; next } skip { done = 1; skip = 0 }' \
    "$DEMO_OUT" >"$actual"
if ! cmp -s "$expected" "$actual"; then
    diff "$expected" "$actual" >&2 || true
    fail "the console answers to the keys differ"
fi

echo "keys: $(wc -l <"$actual") console lines as expected, q -> 0"
