#!/usr/bin/env bash
# The end-to-end soak (tests/e2e/soak_test.sh) for long: rounds of keys (hard
# rain, splashes, the box shown, dropped, reset and retyped, seabed and light
# pushed past their limits, scenery, floor, mesh, caustics, viewing level and
# pause switched) until the program has drawn the frames asked for, with its
# resident size printed every 5,000 frames. Then the same checks: it still
# runs, its memory stayed within bounds, the water grids and the camera hold
# sound values, and q ends it with status 0.
#
#   tools/soak.sh [frames]            (default 50000)
#   SOAK_HEAPTRACK=1 tools/soak.sh    the same run under heaptrack, then the
#                                     allocations made through our own code
#                                     (tools/heap_report.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-50000}
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ${SOAK_HEAPTRACK:+heaptrack}
cmake --preset default >/dev/null
cmake --build --preset default --target caustics frame_counter >/dev/null

heap=$PWD/build/soak-heap
if [ -n "${SOAK_HEAPTRACK:-}" ]; then
    rm -f "$heap".*
    export DEMO_LAUNCHER="heaptrack -o $heap"
fi
CAUSTICS_BIN=$PWD/build/caustics E2E_PROBE=$PWD/build/libframe_counter.so \
    SOAK_FRAMES=$frames SOAK_PROGRESS=${SOAK_PROGRESS:-5000} bash tests/e2e/soak_test.sh
if [ -n "${SOAK_HEAPTRACK:-}" ]; then
    bash tools/heap_report.sh "$(ls -t "$heap".* | head -n1)"
fi
