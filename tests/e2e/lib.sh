# Shared helpers of the end-to-end tests: a private X server, the real program
# in it, keys and clicks through xdotool, screenshots through xwd, and waits
# for states of the program (never for a span of time) through wait_until.
# Source it; it sets `set -euo pipefail`. Whatever the test makes goes into
# its own temporary directory, and when the test ends, however it ends, the
# processes it started are ended and the directory is removed.
set -euo pipefail

: "${CAUSTICS_BIN:?CAUSTICS_BIN must name the built program}"
E2E_TMP=$(mktemp -d)
# Temporary files of the tools a test runs (ImageMagick among them) land
# inside it too.
mkdir "$E2E_TMP/tmp"
export TMPDIR=$E2E_TMP/tmp MAGICK_TEMPORARY_PATH=$E2E_TMP/tmp
XVFB_PID=
DEMO_WAITERS=()
DEMO_PID=
PROG_PID=
DEMO_WIN=
DEMO_OUT=$E2E_TMP/stdout
DEMO_ERR=$E2E_TMP/stderr
DEMO_STATUS=$E2E_TMP/status
KEYS_SENT=0
BUTTONS_SENT=0
PROBE_FILE=$E2E_TMP/probe
DUMP_DIR=$E2E_TMP/globals
# The globals the probe copies on request: the water grids, the step count,
# the camera, the box and the seabed.
PROBE_GLOBALS="waterHeight waveDisplacement waveVelocity stepCounter eyeX eyeY eyeZ camPhi camTheta camRadius boxBottom seabedZ"

# Ends process $1 and every process it started, the deepest first.
end_tree() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        end_tree "$child"
    done
    kill "$1" 2>/dev/null || true
}

e2e_cleanup() {
    local status=$?
    trap - EXIT HUP INT TERM
    if [ "$status" != 0 ] && { [ -s "$DEMO_OUT" ] || [ -s "$DEMO_ERR" ]; }; then
        echo "--- the last program's output ended:" >&2
        tail -n 5 "$DEMO_OUT" >&2 2>/dev/null || true
        echo "--- and its error output:" >&2
        tail -n 20 "$DEMO_ERR" >&2 2>/dev/null || true
    fi
    local pid
    for pid in "${DEMO_WAITERS[@]}"; do end_tree "$pid"; done
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    # Xvfb removes its lock file and socket in /tmp as it ends.
    wait 2>/dev/null || true
    if [ -n "${E2E_KEEP:-}" ]; then echo "kept $E2E_TMP"; else rm -rf "$E2E_TMP"; fi
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_until SECONDS WHAT COMMAND...: runs COMMAND every tenth of a second
# until it succeeds; after SECONDS the test fails, saying what it waited for.
# COMMAND may set E2E_WAIT_DETAIL to what it saw last, which the failure
# shows, or fail at once when what it waits for can no longer happen.
wait_until() {
    local limit=$1 what=$2 deadline
    shift 2
    deadline=$((SECONDS + limit))
    E2E_WAIT_DETAIL=
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] ||
            fail "waited $limit s for $what${E2E_WAIT_DETAIL:+; last seen: $E2E_WAIT_DETAIL}"
        sleep 0.1
    done
}

# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local fdfile=$E2E_TMP/display
    exec 9>"$fdfile"
    # No key repeat (-r): on a busy machine xdotool may hold a key long
    # enough for the server to repeat it, and a repeated toggle undoes itself.
    Xvfb -displayfd 9 -screen 0 "${E2E_SCREEN:-640x480x24}" -nolisten tcp -r >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 9>&-
    wait_until 60 "Xvfb to report its display" xvfb_started "$fdfile"
    export DISPLAY=":$(head -n1 "$fdfile")"
}

xvfb_started() {
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended at start-up: $(cat "$E2E_TMP/xvfb.log")"
    [ -s "$1" ]
}

# Starts the program in directory $1 (default: a fresh empty one) and waits
# for its window and its banner; sets DEMO_PID, PROG_PID and DEMO_WIN.
# A command in E2E_RUN_AS (words split on blanks) is put before the program,
# e.g. to run it as another user. E2E_PRELOAD, when set, is given to the
# program (and to that command) as LD_PRELOAD.
# The shell that starts the program also waits for it and writes its status to
# DEMO_STATUS: callers read wait_exit through $(...), a subshell, which cannot
# wait for a process that is not its own child.
# DEMO_LAUNCHER, when set, is a command that runs the program (e.g. a heap
# profiler); DEMO_PID is then the launcher's, PROG_PID the program's.
# DEMO_ARGS, when set, holds arguments for the program (words split on blanks).
start_demo() {
    local dir=${1:-$E2E_TMP/run}
    local -a run_as args preload=()
    read -r -a run_as <<<"${E2E_RUN_AS:-}"
    read -r -a args <<<"${DEMO_ARGS:-}"
    [ -z "${E2E_PRELOAD:-}" ] || preload=(env "LD_PRELOAD=$E2E_PRELOAD")
    mkdir -p "$dir"
    rm -f "$DEMO_STATUS" "$E2E_TMP/demo.pid"
    DEMO_WIN=
    KEYS_SENT=0
    BUTTONS_SENT=0
    (
        set +e
        cd "$dir" || exit 1
        "${preload[@]}" "${run_as[@]}" ${DEMO_LAUNCHER:-} "$CAUSTICS_BIN" "${args[@]}" >"$DEMO_OUT" 2>"$DEMO_ERR" &
        echo $! >"$E2E_TMP/demo.pid"
        wait $!
        echo $? >"$DEMO_STATUS.part"
        mv "$DEMO_STATUS.part" "$DEMO_STATUS"
    ) &
    DEMO_WAITERS+=($!)
    wait_until 30 "the program to be started" test -s "$E2E_TMP/demo.pid"
    DEMO_PID=$(cat "$E2E_TMP/demo.pid")
    PROG_PID=$DEMO_PID
    wait_until 60 "a window titled 'Final Project'" demo_window
    if [ -n "${DEMO_LAUNCHER:-}" ]; then
        wait_until 30 "the program's process under $DEMO_LAUNCHER" program_found
    fi
    xdotool windowfocus --sync "$DEMO_WIN" 2>/dev/null || true
    wait_for_output "'q' - Quit the program"
}

demo_window() {
    demo_running
    DEMO_WIN=$(xdotool search --name '^Final Project$' 2>/dev/null | head -n1) || true
    [ -n "$DEMO_WIN" ]
}

# Fails at once when the program has ended.
demo_running() {
    [ ! -s "$DEMO_STATUS" ] || fail "the program ended with status $(cat "$DEMO_STATUS"): $(tail -n 5 "$DEMO_ERR")"
}

# Under a launcher: the program's own process, the one running CAUSTICS_BIN
# whose parent chain leads to DEMO_PID.
program_found() {
    local p q
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$CAUSTICS_BIN" ] || continue
        q=${p#/proc/}
        while [ "$q" -gt 1 ] && [ "$q" != "$DEMO_PID" ]; do
            q=$(ps -o ppid= -p "$q" 2>/dev/null | tr -d ' ')
            [ -n "$q" ] || break
        done
        if [ "$q" = "$DEMO_PID" ]; then
            PROG_PID=${p#/proc/}
            return 0
        fi
    done
    return 1
}

# Waits until the program's output contains the fixed string $1.
wait_for_output() {
    wait_until 30 "the output to show '$1'" output_has "$1"
}

output_has() {
    grep -qF -- "$1" "$DEMO_OUT"
}

# Waits until the program's output holds the whole line $1 at least $2 times.
wait_for_lines() {
    wait_until 30 "the output to show '$1' $2 times" lines_seen "$1" "$2"
}

lines_seen() {
    E2E_WAIT_DETAIL="$(grep -cxF -- "$1" "$DEMO_OUT" || true) times"
    [ "$(grep -cxF -- "$1" "$DEMO_OUT" || true)" -ge "$2" ]
}

# Types the keys given (xdotool key names, each one a character key) into
# the program's window.
send_keys() {
    xdotool windowfocus --sync "$DEMO_WIN" 2>/dev/null || true
    xdotool key --delay "${E2E_KEY_DELAY:-30}" "$@"
    KEYS_SENT=$((KEYS_SENT + $#))
}

# Presses and releases mouse button $1 at ($2, $3) in the window.
click_at() {
    xdotool mousemove --window "$DEMO_WIN" "$2" "$3" click "$1"
    BUTTONS_SENT=$((BUTTONS_SENT + 2))
}

# Drags with mouse button $1 from ($2, $3) to ($4, $5) in the window.
drag() {
    xdotool mousemove --window "$DEMO_WIN" "$2" "$3" mousedown "$1" \
        mousemove --window "$DEMO_WIN" "$4" "$5" mouseup "$1"
    BUTTONS_SENT=$((BUTTONS_SENT + 2))
}

# Waits (up to $1 seconds, default 30) for the program to end and for its
# window to go; prints its exit status.
wait_exit() {
    wait_until "${1:-30}" "the program to end" test -s "$DEMO_STATUS"
    [ -z "$DEMO_WIN" ] || wait_until 30 "the program's window to close" window_gone
    cat "$DEMO_STATUS"
}

window_gone() {
    ! xwininfo -id "$DEMO_WIN" >/dev/null 2>&1
}

# Saves the program's window as the PNG $1.
screenshot() {
    xwd -silent -id "$DEMO_WIN" | convert xwd:- "$1"
}

# --- The probe (tools/frame_counter.cpp) -------------------------------------

# Starts the program as start_demo does, with the probe preloaded (E2E_PROBE,
# by default libframe_counter.so beside the program), and waits for its
# first frame. FRAME_COUNT_EVERY (default 1) sets how often the probe writes
# the frame count while no input comes.
start_probed_demo() {
    local probe=${E2E_PROBE:-$(dirname "$CAUSTICS_BIN")/libframe_counter.so}
    [ -f "$probe" ] || fail "no probe at $probe (build the frame_counter target)"
    rm -rf "$PROBE_FILE" "$DUMP_DIR"
    mkdir -p "$DUMP_DIR"
    E2E_PRELOAD=${E2E_PRELOAD:+$E2E_PRELOAD:}$probe FRAME_COUNT_FILE=$PROBE_FILE \
        FRAME_COUNT_EVERY=${FRAME_COUNT_EVERY:-1} FRAME_DUMP_DIR=$DUMP_DIR FRAME_DUMP_SYMBOLS=$PROBE_GLOBALS \
        start_demo "$@"
    wait_frames 1
}

# Reads the probe's line into PROBE_FRAMES, PROBE_KEYS and PROBE_BUTTONS;
# returns 1 while there is none.
read_probe() {
    local line
    line=$(cat "$PROBE_FILE" 2>/dev/null) || return 1
    read -r PROBE_FRAMES PROBE_KEYS PROBE_BUTTONS <<<"$line" || return 1
    E2E_WAIT_DETAIL="frames $PROBE_FRAMES, keys $PROBE_KEYS, button events $PROBE_BUTTONS"
}

# Frames drawn so far, as last written by the probe.
frames_drawn() {
    if read_probe; then echo "$PROBE_FRAMES"; else echo 0; fi
}

# Waits until the program has drawn $1 frames in all.
wait_frames() {
    wait_until "${2:-60}" "frame $1 to be drawn" frames_reached "$1"
}

frames_reached() {
    demo_running
    read_probe && [ "$PROBE_FRAMES" -ge "$1" ]
}

# Waits until the program has drawn $1 more frames (wave steps while it runs).
wait_more_frames() {
    wait_frames $(($(frames_drawn) + $1)) "${2:-60}"
}

# Waits until a frame drawn after the program handled every key and button
# event sent so far is on screen.
wait_drawn() {
    wait_until "${1:-30}" "a frame drawn after key $KEYS_SENT and button event $BUTTONS_SENT" input_drawn
}

input_drawn() {
    demo_running
    read_probe && [ "$PROBE_KEYS" -ge "$KEYS_SENT" ] && [ "$PROBE_BUTTONS" -ge "$BUTTONS_SENT" ]
}

# Has the probe copy the globals of PROBE_GLOBALS from the running program
# into DUMP_DIR, one file each, and waits for the copy.
read_globals() {
    rm -f "$DUMP_DIR"/*
    kill -USR1 "$PROG_PID"
    wait_until 30 "the probe's copy of the program's globals" globals_copied
}

globals_copied() {
    demo_running
    [ -e "$DUMP_DIR/done" ]
}

# The value of the global $1 in the last copy, which must hold exactly one
# value of type $2 (od's letter: f a float, d an int).
global_value() {
    local file=$DUMP_DIR/$1 values
    [ -f "$file" ] || fail "the program has no global '$1' in its symbol table"
    values=$(od -An -v -t "${2:-f}$(stat -c %s "$file")" "$file" 2>/dev/null | tr -d ' ') ||
        fail "the global '$1' is not a single value of type ${2:-f}"
    echo "$values"
}

# Reads the water grids, the camera and the step count of the running program
# through the probe and checks them: every value finite, heights within
# -0.5..0.5, velocities within -5..5, the border of every grid exactly 0, the
# grids square and of one size. Prints one line.
check_grids() {
    read_globals
    local name limit faults=0 report n size=
    for name in waterHeight waveDisplacement waveVelocity; do
        case $name in
            waterHeight) limit=0.5 ;;
            waveVelocity) limit=5 ;;
            *) limit= ;;
        esac
        [ -f "$DUMP_DIR/$name" ] || fail "the program has no global '$name' in its symbol table"
        report=$(od -An -v -f -w4 "$DUMP_DIR/$name" | awk -v name="$name" -v limit="$limit" '
            { v[NR - 1] = $1 }
            END {
                n = int(sqrt(NR) + 0.5)
                if (n * n != NR || n < 3) { printf "%d %d %s holds %d floats, not a square grid\n", n, 1, name, NR; exit }
                for (k = 0; k < NR; k++) {
                    x = v[k]; i = int(k / n); j = k % n
                    border = i == 0 || j == 0 || i == n - 1 || j == n - 1
                    bad = x ~ /nan|inf/ || (limit != "" && (x + 0 > limit + 0 || x + 0 < -limit)) || (border && x + 0 != 0)
                    if (bad && faults++ < 5) shown = shown " " name "[" i "][" j "]=" x
                }
                printf "%d %d%s\n", n, faults, shown
            }')
        read -r n faults_here detail <<<"$report"
        [ -z "$size" ] || [ "$n" = "$size" ] || fail "the grids differ in size: $size and $n"
        size=$n
        faults=$((faults + faults_here))
        [ "$faults_here" = 0 ] || echo "grids: $detail" >&2
    done
    local camera=() value
    for name in eyeX eyeY eyeZ camPhi camTheta camRadius; do
        value=$(global_value "$name" f)
        case $value in *nan* | *inf*) faults=$((faults + 1)); echo "grids: camera $name=$value" >&2 ;; esac
        camera+=("$name=$value")
    done
    local steps
    steps=$(global_value stepCounter d)
    echo "grids: ${size}x$size, $steps steps, $faults faults; camera ${camera[*]}"
    [ "$faults" = 0 ] || fail "the water grids or the camera hold bad values"
}
