#!/usr/bin/env bash
# A soak of the real program in a small window: rounds of keys (rain,
# splashes, the box, seabed and light past their limits, scenery, pause)
# until it has drawn SOAK_FRAMES frames (default 1,500; tools/soak.sh asks
# for many more). It must still run, its resident size must stay within
# bounds, its water grids and camera must hold sound values, and q must end
# it with status 0. With SOAK_PROGRESS=N it prints the frames, the rounds
# and the resident size every N frames.
E2E_SCREEN=${SOAK_SCREEN:-320x240x24}
. "$(dirname "$0")/lib.sh"

# Keys of round $1: every round splashes and moves something to a limit or
# past it; the eight kinds of round between them show, drop, reset and retype
# the box, push the seabed and the light past all their limits, switch
# scenery, floor, mesh, caustics and the viewing level, switch rain between
# light and hard, and pause. Every round leaves hard rain on and the
# simulation running, so frames keep coming between rounds.
soak_round_keys() {
    local r=$1
    local keys=(s)
    case $((r % 8)) in
        0) keys+=(b v m s s) ;;                                        # box shown, reset, dropped
        1) keys+=(n v s minus minus minus minus minus minus minus) ;;    # heavier box; seabed far down
        2) keys+=(equal equal equal equal equal equal equal equal equal equal equal equal) ;;  # up past its maximum
        3) keys+=(4 4 4 4 4 4 4 4 4 4 4 4 4 4 9 9 9 9 9 9 9 9 9 9 9 9 9 9 2 2 2 2 2 2 2 2 2 2) ;;  # light to -x, -z, low
        4) keys+=(6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 8 8 8 8 8) ;;
        5) keys+=(e t f c w p s p f c) ;;                               # scenery, floor, outlines, paused splash
        6) keys+=(l h m v m n n w s) ;;                                  # light then hard rain; box reset mid-fall
        7) keys+=(h h b e t t p p s) ;;                                  # rain off and on again, box hidden
    esac
    echo "${keys[@]}"
}

# Resident size of the program in KiB.
rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$PROG_PID/status"
}

# Sends rounds of keys until the program has drawn $1 frames, each round once
# the program has taken the last one's keys and drawn a frame after them.
# Prints progress every $2 frames when $2 is above 0.
run_soak_rounds() {
    local target=$1 every=$2 next=$2 round=0 frames
    send_keys h  # hard rain from the start
    while :; do
        frames=$(frames_drawn)
        [ "$frames" -ge "$target" ] && break
        if [ "$every" -gt 0 ] && [ "$frames" -ge "$next" ]; then
            echo "  frames $frames, rounds $round, resident $(rss_kib) KiB"
            next=$((next + every))
        fi
        # shellcheck disable=SC2046
        send_keys $(soak_round_keys "$round")
        round=$((round + 1))
        wait_drawn
    done
    SOAK_ROUNDS=$round
}

start_xvfb
start_probed_demo
xdotool windowsize --sync "$DEMO_WIN" 200 150 || true
wait_more_frames 2
start_rss=$(rss_kib)
start_time=$SECONDS
run_soak_rounds "${SOAK_FRAMES:-1500}" "${SOAK_PROGRESS:-0}"
end_rss=$(rss_kib)
echo "soak: $(frames_drawn) frames in $SOAK_ROUNDS rounds of keys, $((SECONDS - start_time)) s; resident $start_rss -> $end_rss KiB"
# The software GL driver's caches grow with what it has drawn; a steady leak
# of a frame's worth of memory would pass this long before 1,500 frames.
[ $((end_rss - start_rss)) -lt 65536 ] || fail "resident size grew from $start_rss to $end_rss KiB"
check_grids
send_keys q
status=$(wait_exit 120)
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0"
echo "soak: q -> 0"
