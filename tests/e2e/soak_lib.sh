# The long run of the real program shared by tools/soak.sh and the short soak
# check: the scripted rounds of keys, the frame count (through the preloaded
# frame counter), the resident size and a look into the water grids with gdb.
# Source it after lib.sh.

FRAME_FILE=$E2E_TMP/frames
PROG_PID=

# Starts the program with the frame counter preloaded, then waits for the first
# frame; sets PROG_PID to the program itself (not a launcher in front of it).
start_counted_demo() {
    local counter
    counter=$(dirname "$CAUSTICS_BIN")/libframe_counter.so
    [ -f "$counter" ] || fail "no frame counter at $counter (build the frame_counter target)"
    FRAME_COUNT_FILE=$FRAME_FILE FRAME_COUNT_EVERY=${FRAME_COUNT_EVERY:-50} \
        LD_PRELOAD=$counter${LD_PRELOAD:+:$LD_PRELOAD} start_demo
    PROG_PID=$(program_pid)
    [ -n "$PROG_PID" ] || fail "the program's process was not found"
    for _ in $(seq 200); do
        [ "$(frames_drawn)" -gt 0 ] && return 0
        sleep 0.1
    done
    fail "the program drew no frame"
}

# The program's process: the one whose environment names our frame file
# (DEMO_PID is a launcher's when DEMO_LAUNCHER is set).
program_pid() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$CAUSTICS_BIN" ] || continue
        tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "FRAME_COUNT_FILE=$FRAME_FILE" || continue
        echo "${p#/proc/}"
        return 0
    done
}

# Frames drawn so far (the count is written every FRAME_COUNT_EVERY frames).
frames_drawn() {
    local n
    n=$({ tr -d ' \n' <"$FRAME_FILE"; } 2>/dev/null || true)
    echo "${n:-0}"
}

# Resident size of the program in KiB.
rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$PROG_PID/status"
}

alive() {
    kill -0 "$PROG_PID" 2>/dev/null
}

# Keys of round $1 of the soak: every round splashes and moves something to a
# limit or past it; the eight kinds of round between them show, drop, reset
# and retype the box, push the seabed and the light past all their limits,
# switch scenery, floor, mesh, caustics and the viewing level, switch rain
# between light and hard, and pause. Every round leaves hard rain on and the
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

# Sends soak rounds until the program has drawn $1 frames; fails if it dies.
# Prints progress (frames, resident size) every $2 frames when given.
run_soak_rounds() {
    local target=$1 every=${2:-0} round=0 next=${2:-0} frames
    send_keys h  # hard rain from the start
    while :; do
        alive || fail "the program died after $(frames_drawn) frames: $(tail -n 5 "$DEMO_ERR")"
        frames=$(frames_drawn)
        [ "$frames" -ge "$target" ] && break
        if [ "$every" -gt 0 ] && [ "$frames" -ge "$next" ]; then
            echo "  frames $frames, rounds $round, resident $(rss_kib) KiB"
            next=$((next + every))
        fi
        # shellcheck disable=SC2046
        send_keys $(soak_round_keys "$round") || fail "xdotool could not type round $round"
        round=$((round + 1))
        sleep "${SOAK_PAUSE:-0.2}"
    done
    SOAK_ROUNDS=$round
}

# Reads the water grids, the camera and the step count of the running program
# with gdb and prints one line; fails when a value is not finite, a height
# leaves -0.5..0.5, a velocity leaves -5..5 or the border is not exactly 0.
check_grids_with_gdb() {
    local out=$E2E_TMP/gdb.out
    cat >"$E2E_TMP/grids.py" <<'PYTHON'
import math, struct
N = 117
inf = gdb.selected_inferior()
def grid(name):
    v = gdb.parse_and_eval(name)
    return struct.unpack("%df" % (N * N), bytes(inf.read_memory(int(v.address), N * N * 4)))
def scalar(name):
    return float(gdb.parse_and_eval(name))
faults = []
for name, limit in (("waterHeight", 0.5), ("waveDisplacement", None), ("waveVelocity", 5.0)):
    g = grid(name)
    for k, x in enumerate(g):
        i, j = divmod(k, N)
        border = i in (0, N - 1) or j in (0, N - 1)
        if not math.isfinite(x) or (limit is not None and abs(x) > limit) or (border and x != 0.0):
            faults.append("%s[%d][%d]=%r" % (name, i, j, x))
camera = [scalar(n) for n in ("eyeX", "eyeY", "eyeZ", "camPhi", "camTheta", "camRadius")]
if not all(math.isfinite(x) for x in camera):
    faults.append("camera %r" % (camera,))
print("GRIDS steps=%d faults=%d %s" % (int(gdb.parse_and_eval("stepCounter")), len(faults), " ".join(faults[:5])))
print("CAMERA eye=(%g, %g, %g) phi=%g theta=%g radius=%g" % tuple(camera))
PYTHON
    gdb -p "$PROG_PID" -batch -nx -x "$E2E_TMP/grids.py" >"$out" 2>&1 || true
    grep -E '^(GRIDS|CAMERA)' "$out" || fail "gdb could not read the grids: $(tail -n 5 "$out")"
    grep -q '^GRIDS .* faults=0 ' "$out" || fail "the water grids or the camera hold bad values"
}
