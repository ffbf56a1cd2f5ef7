#!/usr/bin/env bash
# The end-to-end storm (tests/e2e/storm_test.sh) with many more events: random
# key presses of every kind but Esc, q and Q, drags with every combination of
# buttons, middle clicks and window resizes (to a height of 0 and a width of
# 1 among others), sent with xdotool. Then the same checks: it still runs,
# takes input and draws, the camera and the water are sound, and Esc, q and
# Q end runs with statuses 1, 0 and 0.
#
#   tools/storm.sh [events]    (default 10000)
set -euo pipefail
cd "$(dirname "$0")/.."
events=${1:-10000}
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default --target caustics frame_counter >/dev/null
CAUSTICS_BIN=$PWD/build/caustics E2E_PROBE=$PWD/build/libframe_counter.so \
    STORM_EVENTS=$events bash tests/e2e/storm_test.sh
