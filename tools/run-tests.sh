#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test through the CMake
# workflow presets of CMakePresets.json, one build tree each:
#   fuzz      the TGA decoder under libFuzzer for a short time (30 s)
#   sanitize  the unit tests and a short run of the real program built with
#             AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
#   default   the unit and drawing tests and the end-to-end tests of the real
#             program under Xvfb, warnings as errors
# Each ends with CTest's summary; the first that fails stops the run with a
# non-zero status, so the last summary printed is the default build's.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
for preset in fuzz sanitize default; do
    echo "=== workflow $preset"
    cmake --workflow --preset "$preset"
done
