# Shared helpers of the end-to-end tests: a private X server, the real program
# in it, keys and clicks through xdotool, screenshots through xwd.
# Source it; it sets `set -euo pipefail` and cleans up on exit.
set -euo pipefail

: "${CAUSTICS_BIN:?CAUSTICS_BIN must name the built program}"
E2E_TMP=$(mktemp -d)
XVFB_PID=
DEMO_PID=
DEMO_WIN=
DEMO_OUT=$E2E_TMP/stdout
DEMO_ERR=$E2E_TMP/stderr
DEMO_STATUS=$E2E_TMP/status

e2e_cleanup() {
    [ -n "$DEMO_PID" ] && kill "$DEMO_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    if [ -n "${E2E_KEEP:-}" ]; then echo "kept $E2E_TMP"; else rm -rf "$E2E_TMP"; fi
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local fdfile=$E2E_TMP/display
    exec 9>"$fdfile"
    Xvfb -displayfd 9 -screen 0 "${E2E_SCREEN:-640x480x24}" -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    exec 9>&-
    [ -s "$fdfile" ] || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n1 "$fdfile")"
}

# Starts the program in directory $1 (default: a fresh empty one) and waits
# for its window; sets DEMO_PID and DEMO_WIN. DEMO_LAUNCHER, when set, is a
# command that runs the program (e.g. a heap profiler); DEMO_PID is then the
# launcher's.
start_demo() {
    local dir=${1:-$E2E_TMP/run}
    mkdir -p "$dir"
    # The exit status is written by a small parent of the program, because
    # wait_exit runs in a command substitution, a subshell that cannot wait
    # for a process its parent started once that process outlives the fork.
    rm -f "$DEMO_STATUS"
    (
        if (cd "$dir" && exec ${DEMO_LAUNCHER:-} "$CAUSTICS_BIN") >"$DEMO_OUT" 2>"$DEMO_ERR"; then
            echo 0 >"$DEMO_STATUS"
        else
            echo $? >"$DEMO_STATUS"
        fi
    ) &
    local parent=$!
    DEMO_PID=
    for _ in $(seq 100); do
        DEMO_PID=$(pgrep -P "$parent" | head -n1) || true
        [ -n "$DEMO_PID" ] && break
        sleep 0.05
    done
    [ -n "$DEMO_PID" ] || fail "the program did not start"
    for _ in $(seq 200); do
        DEMO_WIN=$(xdotool search --name '^Final Project$' 2>/dev/null | head -n1) || true
        [ -n "$DEMO_WIN" ] && break
        kill -0 "$DEMO_PID" 2>/dev/null || fail "the program ended at start-up: $(cat "$DEMO_ERR")"
        sleep 0.1
    done
    [ -n "$DEMO_WIN" ] || fail "no window titled 'Final Project' appeared"
    xdotool windowfocus --sync "$DEMO_WIN" 2>/dev/null || true
    wait_for_output "'q' - Quit the program"
}

# Waits (up to 20 s) until the program's output contains the fixed string $1.
wait_for_output() {
    for _ in $(seq 200); do
        grep -qF -- "$1" "$DEMO_OUT" && return 0
        sleep 0.1
    done
    fail "the output never showed '$1'; it was: $(cat "$DEMO_OUT")"
}

# Types the keys given (xdotool key names) into the program's window.
send_keys() {
    xdotool windowfocus --sync "$DEMO_WIN" 2>/dev/null || true
    xdotool key --delay "${E2E_KEY_DELAY:-30}" "$@"
}

# Waits (up to $1 seconds, default 20) for the program to end; prints its exit status.
wait_exit() {
    local status
    for _ in $(seq $((${1:-20} * 10))); do
        if [ -s "$DEMO_STATUS" ]; then
            status=$(cat "$DEMO_STATUS")
            DEMO_PID=
            echo "$status"
            return 0
        fi
        sleep 0.1
    done
    fail "the program did not end"
}

# Saves the program's window as the PNG $1.
screenshot() {
    xwd -silent -id "$DEMO_WIN" | convert xwd:- "$1"
}
