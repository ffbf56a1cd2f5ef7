#!/usr/bin/env bash
# The real program built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, under Xvfb: start-up, a run of keys, splashes, a
# ripple click, the box dropped, then q. Passes when it quits with status 0 and
# the sanitizers said nothing. Usage: tools/asan-demo.sh [PROGRAM]
# (default build-asan/caustics, from the root of the source tree). The
# sanitized build runs it as its test sanitized_program.
set -euo pipefail
cd "$(dirname "$0")/.."
export CAUSTICS_BIN=$(realpath "${1:-build-asan/caustics}")
. tests/e2e/lib.sh

# The GL driver is unloaded when the display closes at exit, before the leak
# check runs, which leaves its frames without a name; loaded ahead of time it
# stays, so the suppression can name it. The sanitizer's runtime must come
# first among preloaded libraries.
driver=/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so
runtime=$(ldd "$CAUSTICS_BIN" | awk '/libasan/ { print $3 }')
[ -f "$driver" ] && [ -n "$runtime" ] || fail "no software GL driver at $driver, or $CAUSTICS_BIN was not built with AddressSanitizer"
E2E_PRELOAD=$runtime:$driver
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LIBGL_ALWAYS_SOFTWARE=1

start_xvfb
start_probed_demo
send_keys s e b m h l c f w 4 6 8 2 9 1 minus equal t n s v s
wait_drawn 120
# Some wave steps with the box falling, rain and droplets in the air.
wait_more_frames 60 120
click_at 2 150 200
send_keys p p l s
wait_drawn 120
wait_more_frames 30 120
send_keys q
status=$(wait_exit 120)
cp "$DEMO_ERR" "${ASAN_DEMO_LOG:-/dev/null}"
if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error' "$DEMO_ERR"; then
    cat "$DEMO_ERR" >&2
    fail "the sanitizers reported a fault"
fi
[ "$status" = 0 ] || fail "q ended the program with status $status, not 0: $(tail -n 20 "$DEMO_ERR")"
grep -qE "^ +[0-9]+ +[0-9]+ +swrast_dri.so" "$DEMO_ERR" && echo "suppressed, from the GL driver: $(grep -E "^ +[0-9]+ +[0-9]+ +swrast_dri.so" "$DEMO_ERR" | xargs) (count, bytes, module)"
echo "sanitized program: started, keys, splashes, a ripple and q; no report from the sanitizers"
