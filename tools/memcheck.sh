#!/usr/bin/env bash
# The real program under valgrind's memcheck in Xvfb with the software GL
# driver: started, its first frames drawn, a splash, then q. Fails on any
# invalid read or write, use of uninitialised values or bad free made by our own
# code; reports from elsewhere (the dynamic loader, the GL driver, the toolkit,
# X) are counted for the reader. Usage: tools/memcheck.sh [PROGRAM]
# (default build/caustics). The full log is left in MEMCHECK_LOG (default
# memcheck.log in the working directory).
set -euo pipefail
cd "$(dirname "$0")/.."
export CAUSTICS_BIN=$(realpath "${1:-build/caustics}")
log=$(realpath -m "${MEMCHECK_LOG:-memcheck.log}")
. tests/e2e/lib.sh
. tools/packages.sh
ensure_packages valgrind

export LIBGL_ALWAYS_SOFTWARE=1
export E2E_RUN_AS="valgrind --tool=memcheck --error-limit=no --num-callers=30 --fullpath-after=$PWD/ --leak-check=no --log-file=$log"
start_xvfb
start_demo
sleep 3
send_keys s
sleep 3
send_keys q
status=$(wait_exit 300)
[ "$status" = 0 ] || fail "q ended the program with status $status under valgrind"

summary=$(grep -E 'ERROR SUMMARY' "$log")
# An error is ours when the access itself is made in our code: its innermost
# frame, or the next one out when the innermost is a string or memory
# function of the C library that our code called.
ours=$(awk '
    /^==[0-9]+== (Invalid|Conditional|Use of uninit|Syscall param|Mismatched|Source and destination)/ { block = $0; frames = 0; near = ""; inblock = 1; next }
    inblock && /^==[0-9]+== +(at|by) 0x/ { if (++frames <= 2) near = near $0 "\n"; block = block "\n" $0; next }
    inblock && /^==[0-9]+== *$/ { if (near ~ /\((app|water|caustics|render|scenery)\/[a-z_0-9]+\.(cpp|h):[0-9]+\)/) print block "\n"; inblock = 0; next }
    inblock { block = block "\n" $0 }
' "$log")
echo "memcheck: $summary"
grep -E '^==[0-9]+== (Invalid|Conditional|Use of uninit|Syscall param|Mismatched)' "$log" | sed 's/^==[0-9]*== //' | sort | uniq -c || true
if [ -n "$ours" ]; then
    echo "$ours" >&2
    fail "memcheck found errors in our code (log: $log)"
fi
echo "memcheck: no error through our code (log: $log)"
