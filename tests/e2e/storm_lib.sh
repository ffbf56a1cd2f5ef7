# An input storm against the real program, shared by tools/storm.sh and the
# short storm check: random key presses (every printable key and many others,
# but never Esc, q or Q), drags with every combination of buttons, middle
# clicks, and window resizes down to a height of 0 and a width of 1, all sent
# with xdotool in batches. Source it after lib.sh and soak_lib.sh.

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

# Sends $1 events; prints how many of each kind went.
run_storm() {
    local total=$1 sent=0 keys=0 drags=0 clicks=0 resizes=0 batch r n b x y
    RANDOM=8
    while [ "$sent" -lt "$total" ]; do
        alive || fail "the program died after $sent events: $(tail -n 5 "$DEMO_ERR")"
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
    sleep 0.5
    alive || fail "the program died at the end of the storm: $(tail -n 5 "$DEMO_ERR")"
    STORM_SUMMARY="$sent events: $keys keys, $drags drags, $clicks middle clicks, $resizes resizes"
}

# The window's size as X reports it after asking for width $1 and height $2.
size_after_resize() {
    xdotool windowsize --sync "$DEMO_WIN" "$1" "$2" >>"$E2E_TMP/xdotool.log" 2>&1 || true
    sleep 0.3
    xwininfo -id "$DEMO_WIN" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# Starts a fresh program, types key $1 and checks its exit status is $2.
check_exit_key() {
    start_counted_demo
    send_keys "$1"
    local status
    status=$(wait_exit)
    [ "$status" = "$2" ] || fail "$1 ended the program with status $status, not $2"
}
