#!/usr/bin/env bash
# Broken and odd images, each alone in the working directory under one of the
# fourteen texture names: the real program prints exactly that file's
# messages before its banner, starts all the same, draws the rest of its scene
# and quits with status 0 on q. The files are made here, byte by byte.
. "$(dirname "$0")/lib.sh"

# Parts of the first frame (299 x 299, the water at rest) that a texture of
# the first scenery set does not dress: the walls, above the water, and the
# middle of the near pool floor.
WALLS_REGION=299x100+0+25
FLOOR_REGION=100x50+100+240

# A TGA header: image type, colour-map type, width, height, depth, ID length, descriptor.
header() {
    local type=$1 cmap=$2 w=$3 h=$4 depth=$5 id=${6:-0} desc=${7:-0}
    printf "\\x$(printf %02x "$id")\\x$(printf %02x "$cmap")\\x$(printf %02x "$type")\\0\\0\\0\\0\\0\\0\\0\\0\\0"
    printf "\\x$(printf %02x $((w & 255)))\\x$(printf %02x $((w >> 8)))\\x$(printf %02x $((h & 255)))\\x$(printf %02x $((h >> 8)))"
    printf "\\x$(printf %02x "$depth")\\x$(printf %02x "$desc")"
}
bytes() { head -c "$1" /dev/zero | tr '\0' '\200'; }

REJ='RETURN ERROR CALLED \n'
DIM="bad dimension\\n$REJ"
BITS="bad bits\\n$REJ"

start_xvfb

# The first frame with every image good, from a directory with no image of its own.
start_probed_demo "$E2E_TMP/reference"
screenshot "$E2E_TMP/reference.png"
[ "$(convert "$E2E_TMP/reference.png" -format %wx%h info:)" = 299x299 ] || fail "the window is not the toolkit's default size"
[ "$(convert "$E2E_TMP/reference.png" -format %k info:)" -gt 1000 ] || fail "the scene with good images looks blank"
send_keys q
[ "$(wait_exit)" = 0 ] || fail "the program with good images did not quit with status 0"

# The region $1 of the window as it is now matches the reference.
scene_matches() {
    local differing
    screenshot "$E2E_TMP/shot.png"
    convert "$E2E_TMP/shot.png" -crop "$1" +repage "$E2E_TMP/got.png"
    differing=$(compare -metric AE -fuzz 2% "$E2E_TMP/got.png" "$E2E_TMP/want.png" null: 2>&1) || true
    E2E_WAIT_DETAIL="$differing pixels differ"
    [ "$differing" = 0 ]
}

cases=0
# check NAME PATH EXPECTED: runs the program in the directory $E2E_TMP/case-NAME,
# which holds the texture at PATH (made by the caller) and nothing else.
check() {
    local name=$1 texture=${2##*/} expected
    expected=$(printf "$3\\nQUARRY7 FINAL PROJECT")
    start_demo "$E2E_TMP/case-$name"
    local actual
    actual=$(head -c "${#expected}" "$DEMO_OUT")
    [ "$actual" = "$expected" ] ||
        fail "$name as $texture: expected $(printf %q "$expected") first; the output began: $(head -n 4 "$DEMO_OUT" | od -c | head -n 8)"
    # The rest of the scene draws as it does with no bad file: the whole
    # picture when the bad file dresses nothing shown at first, else the part
    # that its texture does not reach.
    local region
    case $texture in
    dirt.tga) region=$WALLS_REGION ;;
    boo.tga | boo2.tga) region=$FLOOR_REGION ;;
    *) region=299x299+0+0 ;;
    esac
    convert "$E2E_TMP/reference.png" -crop "$region" +repage "$E2E_TMP/want.png"
    wait_until 30 "$name as $texture: the scene drawn as without a bad file, in $region" scene_matches "$region"
    [ -z "${E2E_SHOTS:-}" ] || cp "$E2E_TMP/shot.png" "$E2E_SHOTS/$name.png"
    send_keys q
    local status
    status=$(wait_exit)
    [ "$status" = 0 ] || fail "$name as $texture: q ended the program with status $status, not 0"
    cases=$((cases + 1))
}

# Each case takes the next texture name in turn, so every slot of the table meets one.
mapfile -t names < <(sed -n 's/^"\([^"]*\)\.tga".*/\1/p' "${CAUSTICS_SOURCE_DIR:?}/scenery/texture_files.inc")
[ ${#names[@]} = 14 ] || fail "scenery/texture_files.inc lists ${#names[@]} texture names, not 14"
slot=0
# place NAME: sets f to the path of the next texture in the fresh directory of case NAME.
place() {
    local dir=$E2E_TMP/case-$1
    mkdir -p "$dir"
    f=$dir/${names[slot % ${#names[@]}]}.tga
    slot=$((slot + 1))
}

# A valid 4 x 4 24-bit file cut at every length short of a whole header: no type can be read.
whole=$E2E_TMP/whole.tga
{ header 2 0 4 4 24; bytes 48; } >"$whole"
for n in $(seq 0 17); do
    place "cut-$n"; head -c "$n" "$whole" >"$f"; check "cut-$n" "$f" "$REJ"
done

place header-only; head -c 18 "$whole" >"$f"; check header-only "$f" "$REJ"
place one-short; head -c 65 "$whole" >"$f"; check one-short "$f" "$REJ"
# The largest size with almost none of its 4 MiB of pixels: refused without a crash.
place largest-empty; { header 2 0 1024 1024 32; bytes 100; } >"$f"; check largest-empty "$f" "$REJ"
place huge; { header 2 0 65535 65535 32; bytes 64; } >"$f"; check huge "$f" "$DIM"
place size-2048; { header 2 0 2048 2048 24; bytes 64; } >"$f"; check size-2048 "$f" "$DIM"
place zero-width; { header 2 0 0 4 24; bytes 48; } >"$f"; check zero-width "$f" "$DIM"
place zero-both; { header 3 0 0 0 8; } >"$f"; check zero-both "$f" "$DIM"
place size-and-bits; { header 2 0 3 4 16; bytes 24; } >"$f"; check size-and-bits "$f" "$DIM"
place no-image-type; { header 0 0 4 4 24; bytes 48; } >"$f"; check no-image-type "$f" "$REJ"
place colour-mapped; { header 1 1 4 4 8; bytes 16; } >"$f"; check colour-mapped "$f" "$REJ"
place map-on-true-colour; { header 2 1 4 4 24; bytes 48; } >"$f"; check map-on-true-colour "$f" "$REJ"
place rle-colour; { header 10 0 4 4 24; bytes 20; } >"$f"; check rle-colour "$f" "$REJ"
place rle-grey; { header 11 0 4 4 8; bytes 10; } >"$f"; check rle-grey "$f" "$REJ"
place bits-16; { header 2 0 4 4 16; bytes 32; } >"$f"; check bits-16 "$f" "$BITS"
place bits-15; { header 2 0 4 4 15; bytes 32; } >"$f"; check bits-15 "$f" "$BITS"
place bits-0; { header 3 0 4 4 0; } >"$f"; check bits-0 "$f" "$BITS"
# Odd but sound files are taken without a word.
place top-left; { header 2 0 4 4 24 0 32; bytes 48; } >"$f"; check top-left "$f" ""
place long-id; { header 2 0 4 4 32 255; bytes 255; bytes 64; } >"$f"; check long-id "$f" ""
place id-past-end; { header 2 0 4 4 24 255; bytes 40; } >"$f"; check id-past-end "$f" "$REJ"
place grey-as-alpha; { header 3 0 4 4 8; bytes 16; } >"$f"; check grey-as-alpha "$f" ""
place text; printf 'not an image at all\n' >"$f"; check text "$f" "$REJ"

# Things that are not image files: a directory, a pipe nobody writes, a device.
place directory; mkdir "$f"; check directory "$f" "$REJ"
place pipe; mkfifo "$f"; check pipe "$f" "$REJ"
place device; ln -s /dev/zero "$f"; check device "$f" "$REJ"
# What cannot be opened in the working directory is taken from the program's
# own images, without a word: a link to nothing, and a file the user may not
# read.
place dangling; ln -s nothing-here "$f"; check dangling "$f" ""
place unreadable; { header 2 0 4 4 24; bytes 48; } >"$f"; chmod 000 "$f"
unreadable_case() {
    if [ "$(id -u)" != 0 ]; then
        check unreadable "$f" ""
        return
    fi
    # Root reads anything, so the program runs as nobody for this case. Nobody
    # may not be able to reach the build (a checkout in a home directory only
    # its owner may enter), so it runs a copy of the program with its images
    # beside it, in a directory of this test that everyone may enter.
    local copy=$E2E_TMP/for-nobody
    mkdir -p "$copy"
    cp "$CAUSTICS_BIN" "$copy/"
    cp -r "$(dirname "$CAUSTICS_BIN")/data" "$copy/"
    chmod -R a+rX "$copy"
    chmod 755 "$E2E_TMP" "${f%/*}"
    local as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    if ! $as_nobody test -x "$copy/${CAUSTICS_BIN##*/}" -a -r "$copy/data/${names[0]}.tga" -a -x "${f%/*}" 2>/dev/null; then
        echo "hostile files: unreadable skipped: the user nobody cannot reach $copy (a parent directory of $E2E_TMP is closed to others)"
        return
    fi
    ! $as_nobody test -r "$f" || fail "the unreadable file can be read by nobody"
    CAUSTICS_BIN=$copy/${CAUSTICS_BIN##*/} E2E_RUN_AS=$as_nobody check unreadable "$f" ""
}
unreadable_case

echo "hostile files: $cases files, each reported exactly, start-up went on and the scene drew"
