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
# for its window; sets DEMO_PID and DEMO_WIN. A command in E2E_RUN_AS (words
# split on blanks) is put before the program, e.g. to run it as another user.
# The shell that starts the program also waits for it and writes its status to
# DEMO_STATUS: callers read wait_exit through $(...), a subshell, which cannot
# wait for a process that is not its own child.
# DEMO_LAUNCHER, when set, is a command that runs the program (e.g. a heap
# profiler); DEMO_PID is then the launcher's.
# DEMO_ARGS, when set, holds arguments for the program (words split on blanks).
start_demo() {
    local dir=${1:-$E2E_TMP/run}
    local -a run_as args
    read -r -a run_as <<<"${E2E_RUN_AS:-}"
    read -r -a args <<<"${DEMO_ARGS:-}"
    mkdir -p "$dir"
    rm -f "$DEMO_STATUS" "$E2E_TMP/demo.pid"
    (
        set +e
        cd "$dir" || exit 1
        "${run_as[@]}" ${DEMO_LAUNCHER:-} "$CAUSTICS_BIN" "${args[@]}" >"$DEMO_OUT" 2>"$DEMO_ERR" &
        echo $! >"$E2E_TMP/demo.pid"
        wait $!
        echo $? >"$DEMO_STATUS.part"
        mv "$DEMO_STATUS.part" "$DEMO_STATUS"
    ) &
    for _ in $(seq 100); do
        [ -s "$E2E_TMP/demo.pid" ] && break
        sleep 0.05
    done
    DEMO_PID=$(cat "$E2E_TMP/demo.pid")
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
    for _ in $(seq $((${1:-20} * 10))); do
        if [ -s "$DEMO_STATUS" ]; then
            DEMO_PID=
            cat "$DEMO_STATUS"
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
