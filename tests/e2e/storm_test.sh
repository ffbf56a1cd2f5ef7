#!/usr/bin/env bash
# An input storm against the real program: STORM_EVENTS (default 800;
# tools/storm.sh sends many more) random keys (never Esc, q or Q), drags with
# every combination of buttons, middle clicks and resizes down to a width and
# a height of 1 (X refuses 0), sent with xdotool in batches. It must still
# run, take input and draw, with a sound camera and water; Esc then ends it
# with status 1, and q and Q end fresh runs with status 0.
E2E_SCREEN=320x240x24
. "$(dirname "$0")/lib.sh"

# Keys of the random set: letters and digits, punctuation, space and the
# keys that send no character at all.
STORM_KEYS=(
    a b c d e f g h i j k l m n o p r s t u v w x y z
    A B C D E F G H I J K L M N O P R S T U V W X Y Z
    0 1 2 3 4 5 6 7 8 9
    minus equal comma period slash semicolon apostrophe bracketleft bracketright backslash grave space
    exclam at numbersign dollar percent asciicircum ampersand asterisk parenleft parenright underscore plus
    braceleft braceright bar colon quotedbl less greater question asciitilde
    Tab Return BackSpace Delete Insert Home End Prior Next Up Down Left Right F1 F5 F12 KP_Add KP_5 Shift_L Control_L
)
STORM_BUTTONS=("1" "3" "2" "1 3" "1 2" "2 3" "1 2 3")  # every combination: left, right, middle and together
STORM_SIZES=("200 0" "1 150" "1 1" "200 1" "320 240" "150 1" "200 150")  # X refuses a height of 0; 1 is its least

# Sends $1 events; sets STORM_SUMMARY to how many of each kind went.
run_storm() {
    local total=$1 sent=0 keys=0 drags=0 clicks=0 resizes=0 batch r n b x y
    RANDOM=8
    while [ "$sent" -lt "$total" ]; do
        demo_running
        batch=()
        for _ in $(seq 50); do
            [ "$sent" -ge "$total" ] && break
            r=$((RANDOM % 100))
            if [ "$r" -lt 80 ]; then
                batch+=(key --window "$DEMO_WIN" "${STORM_KEYS[RANDOM % ${#STORM_KEYS[@]}]}")
                keys=$((keys + 1))
            elif [ "$r" -lt 92 ]; then
                # A drag of a few steps, some of them far outside the window.
                b=(${STORM_BUTTONS[RANDOM % ${#STORM_BUTTONS[@]}]})
                batch+=(mousemove --window "$DEMO_WIN" $((RANDOM % 200)) $((RANDOM % 150)))
                for n in "${b[@]}"; do batch+=(mousedown "$n"); done
                for n in 1 2 3; do
                    x=$((RANDOM % 600 - 200)); y=$((RANDOM % 450 - 150))
                    batch+=(mousemove --window "$DEMO_WIN" "$x" "$y")
                done
                for n in "${b[@]}"; do batch+=(mouseup "$n"); done
                drags=$((drags + 1))
            elif [ "$r" -lt 97 ]; then
                batch+=(mousemove --window "$DEMO_WIN" $((RANDOM % 200)) $((RANDOM % 150)) click 2)
                clicks=$((clicks + 1))
            else
                batch+=(windowsize "$DEMO_WIN" ${STORM_SIZES[RANDOM % ${#STORM_SIZES[@]}]})
                resizes=$((resizes + 1))
            fi
            sent=$((sent + 1))
        done
        xdotool "${batch[@]}" >>"$E2E_TMP/xdotool.log" 2>&1 || true
    done
    # Back to a usable size with no button held.
    xdotool windowsize --sync "$DEMO_WIN" 200 150 mouseup 1 mouseup 2 mouseup 3 >>"$E2E_TMP/xdotool.log" 2>&1 || true
    STORM_SUMMARY="$sent events: $keys keys, $drags drags, $clicks middle clicks, $resizes resizes"
}

# The program has handled a key beyond the $1 it had handled before, and
# drawn a frame after it.
key_answered() {
    demo_running
    read_probe && [ "$PROBE_KEYS" -gt "$1" ]
}

# Starts a fresh program, types key $1 and checks its exit status is $2.
check_exit_key() {
    start_demo
    send_keys "$1"
    local status
    status=$(wait_exit)
    [ "$status" = "$2" ] || fail "$1 ended the program with status $status, not $2"
}

start_xvfb
start_probed_demo
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
run_storm "${STORM_EVENTS:-800}"
# Whatever the storm left switched (the waves may be paused), a key typed now
# is answered with a frame.
read_probe || fail "the probe wrote no line"
keys_before=$PROBE_KEYS
send_keys x
wait_until 60 "a frame drawn after a key typed once the storm was over" key_answered "$keys_before"
[ "$PROBE_KEYS" -gt 0 ] && [ "$PROBE_BUTTONS" -gt 0 ] ||
    fail "the storm's keys or buttons never reached the program: $E2E_WAIT_DETAIL"
echo "storm: $STORM_SUMMARY; the program handled $PROBE_KEYS keys and $PROBE_BUTTONS button events and drew $PROBE_FRAMES frames"
check_grids
send_keys Escape
status=$(wait_exit)
[ "$status" = 1 ] || fail "Esc ended the program with status $status, not 1"
check_exit_key q 0
check_exit_key Q 0
echo "storm: Esc -> 1, q -> 0, Q -> 0"
