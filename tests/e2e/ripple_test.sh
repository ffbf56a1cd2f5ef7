#!/usr/bin/env bash
# A middle click on the water starts a ripple right under the pointer: the
# picture changes around the clicked spot and nowhere far from it.
. "$(dirname "$0")/lib.sh"

start_xvfb
start_probed_demo

# No scenery and no caustics, and the surface as a wire mesh: the only thing
# that can move on screen is the surface itself.
send_keys e e e e c f
wait_for_output "NO ENVIRONMENT SELECTED"
# Look down at the pool from nearer: 50 degrees up over the water, 15 units in.
drag 1 150 100 150 150
drag 3 150 200 150 100

# A spot of water off both diagonals of the view: a ripple with its row or its
# column mirrored, or aimed with the pointer's y counted from the wrong edge,
# would show far from the pointer here.
px=115 py=235
xdotool mousemove --window "$DEMO_WIN" "$px" "$py"

# Pauses (or resumes and pauses again) with the keys given and waits until
# the program has said "System paused" once more and drawn the frozen frame.
pauses=0
pause_again() {
    pauses=$((pauses + 1))
    send_keys "$@"
    wait_for_lines "System paused" "$pauses"
    wait_drawn
}
changed_pixels() {
    local n
    n=$(compare -metric AE -fuzz 2% "$E2E_TMP/calm.png" "$1" null: 2>&1 || true)
    printf '%.0f\n' "$n"
}

# The calm scene, paused, and drawn again unchanged on a key with no command.
pause_again p
screenshot "$E2E_TMP/calm.png"
send_keys x
wait_drawn
screenshot "$E2E_TMP/again.png"
[ "$(changed_pixels "$E2E_TMP/again.png")" = 0 ] || fail "the paused scene changes when drawn again"

# The click only stamps the ripple; let the waves run for a moment at a time
# until the surface has visibly moved, before the ring spreads far.
surface_moved() {
    pause_again p p
    screenshot "$E2E_TMP/ripple.png"
    E2E_WAIT_DETAIL="$(changed_pixels "$E2E_TMP/ripple.png") pixels changed"
    [ "$(changed_pixels "$E2E_TMP/ripple.png")" -ge 20 ]
}
click_at 2 "$px" "$py"
wait_until 60 "the surface to move after the click" surface_moved
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
