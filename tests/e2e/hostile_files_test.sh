#!/usr/bin/env bash
# Broken and odd images, each alone in the working directory under one of the
# fourteen texture names: the real program prints exactly that file's
# messages before its banner, starts all the same, draws the rest of its scene
# and quits with status 0 on q. The files are made here, byte by byte.
. "$(dirname "$0")/lib.sh"

# Enough distinct colours that a frame of the textured scene has been drawn:
# an empty or cleared window has one or two.
MIN_SCENE_COLOURS=200

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
# The unprivileged case runs as nobody, who must reach the run directories.
chmod 755 "$E2E_TMP"

cases=0
# check NAME TEXTURE EXPECTED: runs the program in the directory $E2E_TMP/case-NAME,
# which holds TEXTURE (made by the caller) and nothing else.
check() {
    local name=$1 texture=$2 expected
    expected=$(printf "$3\\nQUARRY7 FINAL PROJECT")
    start_demo "$E2E_TMP/case-$name"
    local actual
    actual=$(head -c "${#expected}" "$DEMO_OUT")
    [ "$actual" = "$expected" ] ||
        fail "$name as $texture: expected $(printf %q "$expected") first; the output began: $(head -n 4 "$DEMO_OUT" | od -c | head -n 8)"
    local colours=0
    for _ in $(seq 50); do
        screenshot "$E2E_TMP/shot.png"
        colours=$(convert "$E2E_TMP/shot.png" -format '%k' info:)
        [ "$colours" -ge "$MIN_SCENE_COLOURS" ] && break
        sleep 0.1
    done
    [ "$colours" -ge "$MIN_SCENE_COLOURS" ] || fail "$name as $texture: the window shows $colours colours, not the scene"
    [ -n "${E2E_SHOTS:-}" ] && cp "$E2E_TMP/shot.png" "$E2E_SHOTS/$name.png"
    send_keys q
    local status
    status=$(wait_exit)
    [ "$status" = 0 ] || fail "$name as $texture: q ended the program with status $status, not 0"
    cases=$((cases + 1))
}

# Each case takes the next texture name in turn, so every slot of the table meets one.
names=(dirt boo2 boo blue pinktrees2 pinktrees bottom cows2 cows icebottom snow2 snow spots icecubes)
slot=0
# place NAME: prints the path of the next texture in the fresh directory of case NAME.
place() {
    local dir=$E2E_TMP/case-$1
    mkdir -p "$dir"
    echo "$dir/${names[slot % ${#names[@]}]}.tga"
    slot=$((slot + 1))
}
texture_of() { basename "$1"; }

# A valid 4 x 4 24-bit file cut at every length short of a whole header: no type can be read.
whole=$E2E_TMP/whole.tga
{ header 2 0 4 4 24; bytes 48; } >"$whole"
for n in $(seq 0 17); do
    f=$(place "cut-$n"); head -c "$n" "$whole" >"$f"; check "cut-$n" "$(texture_of "$f")" "$REJ"
done

f=$(place header-only); head -c 18 "$whole" >"$f"; check header-only "$(texture_of "$f")" "$REJ"
f=$(place one-short); head -c 65 "$whole" >"$f"; check one-short "$(texture_of "$f")" "$REJ"
# The largest size with almost none of its 4 MiB of pixels: refused without a crash.
f=$(place largest-empty); { header 2 0 1024 1024 32; bytes 100; } >"$f"; check largest-empty "$(texture_of "$f")" "$REJ"
f=$(place huge); { header 2 0 65535 65535 32; bytes 64; } >"$f"; check huge "$(texture_of "$f")" "$DIM"
f=$(place size-2048); { header 2 0 2048 2048 24; bytes 64; } >"$f"; check size-2048 "$(texture_of "$f")" "$DIM"
f=$(place zero-width); { header 2 0 0 4 24; bytes 48; } >"$f"; check zero-width "$(texture_of "$f")" "$DIM"
f=$(place zero-both); { header 3 0 0 0 8; } >"$f"; check zero-both "$(texture_of "$f")" "$DIM"
f=$(place size-and-bits); { header 2 0 3 4 16; bytes 24; } >"$f"; check size-and-bits "$(texture_of "$f")" "$DIM"
f=$(place no-image-type); { header 0 0 4 4 24; bytes 48; } >"$f"; check no-image-type "$(texture_of "$f")" "$REJ"
f=$(place colour-mapped); { header 1 1 4 4 8; bytes 16; } >"$f"; check colour-mapped "$(texture_of "$f")" "$REJ"
f=$(place map-on-true-colour); { header 2 1 4 4 24; bytes 48; } >"$f"; check map-on-true-colour "$(texture_of "$f")" "$REJ"
f=$(place rle-colour); { header 10 0 4 4 24; bytes 20; } >"$f"; check rle-colour "$(texture_of "$f")" "$REJ"
f=$(place rle-grey); { header 11 0 4 4 8; bytes 10; } >"$f"; check rle-grey "$(texture_of "$f")" "$REJ"
f=$(place bits-16); { header 2 0 4 4 16; bytes 32; } >"$f"; check bits-16 "$(texture_of "$f")" "$BITS"
f=$(place bits-15); { header 2 0 4 4 15; bytes 32; } >"$f"; check bits-15 "$(texture_of "$f")" "$BITS"
f=$(place bits-0); { header 3 0 4 4 0; } >"$f"; check bits-0 "$(texture_of "$f")" "$BITS"
# Odd but sound files are taken without a word.
f=$(place top-left); { header 2 0 4 4 24 0 32; bytes 48; } >"$f"; check top-left "$(texture_of "$f")" ""
f=$(place long-id); { header 2 0 4 4 32 255; bytes 255; bytes 64; } >"$f"; check long-id "$(texture_of "$f")" ""
f=$(place id-past-end); { header 2 0 4 4 24 255; bytes 40; } >"$f"; check id-past-end "$(texture_of "$f")" "$REJ"
f=$(place grey-as-alpha); { header 3 0 4 4 8; bytes 16; } >"$f"; check grey-as-alpha "$(texture_of "$f")" ""
f=$(place text); printf 'not an image at all\n' >"$f"; check text "$(texture_of "$f")" "$REJ"

# Things that are not image files: a directory, a pipe nobody writes, a device.
f=$(place directory); mkdir "$f"; check directory "$(texture_of "$f")" "$REJ"
f=$(place pipe); mkfifo "$f"; check pipe "$(texture_of "$f")" "$REJ"
f=$(place device); ln -s /dev/zero "$f"; check device "$(texture_of "$f")" "$REJ"
# A link to nothing cannot be opened; it is reported, not replaced by the program's own copy.
f=$(place dangling); ln -s nothing-here "$f"; check dangling "$(texture_of "$f")" "$REJ"

# A file the user may not read: root reads anything, so the program runs as nobody then.
f=$(place unreadable); { header 2 0 4 4 24; bytes 48; } >"$f"; chmod 000 "$f"
if [ "$(id -u)" = 0 ]; then
    E2E_RUN_AS="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
check unreadable "$(texture_of "$f")" "$REJ"
E2E_RUN_AS=

echo "hostile files: $cases files, each reported exactly, start-up went on and the scene drew"
