#!/usr/bin/env bash
# The program's texture start-up: broken images in the working directory are
# reported one by one, in table order, and start-up goes on; an installed copy
# finds its own images from any directory.
. "$(dirname "$0")/lib.sh"

# A TGA header: image type, colour-map type, width, height, depth, ID length.
header() {
    local type=$1 cmap=$2 w=$3 h=$4 depth=$5 id=${6:-0}
    printf "\\x$(printf %02x "$id")\\x$(printf %02x "$cmap")\\x$(printf %02x "$type")\\0\\0\\0\\0\\0\\0\\0\\0\\0"
    printf "\\x$(printf %02x $((w & 255)))\\x$(printf %02x $((w >> 8)))\\x$(printf %02x $((h & 255)))\\x$(printf %02x $((h >> 8)))"
    printf "\\x$(printf %02x "$depth")\\0"
}
bytes() { head -c "$1" /dev/zero | tr '\0' '\200'; }

start_xvfb

run=$E2E_TMP/hostile
mkdir -p "$run"
{ header 2 0 2 2 16; bytes 8; } >"$run/dirt.tga"            # 16-bit pixels
{ header 2 0 300 2 24; bytes 1800; } >"$run/boo.tga"        # width not a power of two
{ header 10 0 2 2 24; bytes 8; } >"$run/blue.tga"           # run-length encoded
{ header 1 1 2 2 8; bytes 4; } >"$run/pinktrees.tga"        # colour-mapped
{ header 2 0 2 2 24; bytes 11; } >"$run/cows.tga"           # one pixel byte short
printf 'TGA?\n' >"$run/snow.tga"                            # no header at all
{ header 3 0 2 2 8; bytes 4; } >"$run/spots.tga"            # grey: accepted, as alpha
{ header 2 0 2 2 32 4; printf 'note'; bytes 16; } >"$run/icecubes.tga"  # with an image ID: accepted

start_demo "$run"
expected=$(printf 'bad bits\nRETURN ERROR CALLED \nbad dimension\nRETURN ERROR CALLED \nRETURN ERROR CALLED \nRETURN ERROR CALLED \nRETURN ERROR CALLED \nRETURN ERROR CALLED \n\nQUARRY7 FINAL PROJECT')
actual=$(head -c "${#expected}" "$DEMO_OUT")
[ "$actual" = "$expected" ] || fail "the loader's messages differ; the output began: $(head -n 12 "$DEMO_OUT")"
send_keys q
status=$(wait_exit)
[ "$status" = 0 ] || fail "after the broken images, q ended the program with status $status, not 0"

# An installed copy, started from an empty directory, finds its images in share/caustics.
cmake --install "$(dirname "$CAUSTICS_BIN")" --prefix "$E2E_TMP/prefix" >/dev/null
[ "$(ls "$E2E_TMP/prefix/share/caustics" | wc -l)" = 14 ] || fail "the install did not place the fourteen images"
CAUSTICS_BIN=$E2E_TMP/prefix/bin/caustics
start_demo
if grep -qE 'RETURN ERROR CALLED|bad dimension|bad bits' "$DEMO_OUT"; then
    fail "the installed program did not find its images: $(head -n 5 "$DEMO_OUT")"
fi
[ "$(head -c 1 "$DEMO_OUT" | od -An -c | tr -d ' ')" = '\n' ] || fail "the installed program printed before its banner"
send_keys q
[ "$(wait_exit)" = 0 ] || fail "the installed program did not quit cleanly"

echo "textures: broken files reported in table order, start-up goes on; the installed program finds its images"
