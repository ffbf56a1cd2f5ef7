#!/usr/bin/env bash
# A middle click on the water starts a ripple right under the pointer: the
# picture changes around the clicked spot and nowhere far from it.
. "$(dirname "$0")/lib.sh"

start_xvfb
start_demo

# No scenery and no caustics, and the surface as a wire mesh: the only thing
# that can move on screen is the surface itself.
send_keys e e e e c f
wait_for_output "NO ENVIRONMENT SELECTED"
# Look down at the pool from nearer: 50 degrees up over the water, 15 units in.
xdotool mousemove --window "$DEMO_WIN" 150 100 mousedown 1 mousemove --window "$DEMO_WIN" 150 150 mouseup 1
xdotool mousemove --window "$DEMO_WIN" 150 200 mousedown 3 mousemove --window "$DEMO_WIN" 150 100 mouseup 3

# A spot of water off both diagonals of the view: a ripple with its row or its
# column mirrored, or aimed with the pointer's y counted from the wrong edge,
# would show far from the pointer here.
px=115 py=235
xdotool mousemove --window "$DEMO_WIN" "$px" "$py"

# Pauses (or resumes and pauses again) and waits until the program has said
# "System paused" $1 times in all.
pauses=0
pause_again() {
    pauses=$((pauses + 1))
    send_keys "$@"
    for _ in $(seq 200); do
        [ "$(grep -c 'System paused' "$DEMO_OUT" || true)" -ge "$pauses" ] && return 0
        sleep 0.1
    done
    fail "the program did not pause"
}
changed_pixels() {
    local n
    n=$(compare -metric AE -fuzz 2% "$E2E_TMP/calm.png" "$1" null: 2>&1 || true)
    printf '%.0f\n' "$n"
}

# The calm scene, paused, once its last redraw is on screen.
pause_again p
screenshot "$E2E_TMP/calm.png"
for _ in $(seq 20); do
    sleep 0.3
    screenshot "$E2E_TMP/again.png"
    [ "$(changed_pixels "$E2E_TMP/again.png")" = 0 ] && break
    cp "$E2E_TMP/again.png" "$E2E_TMP/calm.png"
done
[ "$(changed_pixels "$E2E_TMP/again.png")" = 0 ] || fail "the paused scene keeps changing"

# The click only stamps the ripple; let the waves run for a moment at a time
# until the surface has visibly moved, before the ring spreads far.
xdotool click --window "$DEMO_WIN" 2
for _ in $(seq 20); do
    pause_again p p
    sleep 0.2
    screenshot "$E2E_TMP/ripple.png"
    [ "$(changed_pixels "$E2E_TMP/ripple.png")" -ge 20 ] && break
done
send_keys q
wait_exit >/dev/null

# Centre and extent of the pixels that changed.
convert "$E2E_TMP/calm.png" "$E2E_TMP/ripple.png" -compose difference -composite \
    -colorspace gray -threshold 2% "$E2E_TMP/diff.png"
read -r changed cx cy far < <(convert "$E2E_TMP/diff.png" txt:- | awk -v px="$px" -v py="$py" -F'[,: ]+' '
    NR > 1 && $0 !~ /#000000/ {
        n++; sx += $1; sy += $2
        if (($1 - px) ^ 2 + ($2 - py) ^ 2 > 60 ^ 2) far++
    }
    END { if (n == 0) print 0, -1, -1, 0; else printf "%d %.1f %.1f %d\n", n, sx / n, sy / n, far }')

echo "ripple: $changed pixels changed, centred at ($cx, $cy), $far of them over 60 px from the pointer ($px, $py)"
[ "$changed" -ge 20 ] || fail "the surface did not move after the click"
awk -v cx="$cx" -v cy="$cy" -v px="$px" -v py="$py" 'BEGIN { exit !((cx - px) ^ 2 + (cy - py) ^ 2 <= 25 ^ 2) }' ||
    fail "the ripple is centred at ($cx, $cy), not under the pointer ($px, $py)"
[ "$((far * 10))" -le "$changed" ] || fail "$far of $changed changed pixels lie far from the pointer"
