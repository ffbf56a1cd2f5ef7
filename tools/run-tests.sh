#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and drawing
# tests, the end-to-end tests of the real program under Xvfb, and the unit
# tests and a short run of the real program again under AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer, and the
# TGA decoder under libFuzzer for a short fixed time (FUZZ_SECONDS, default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

# Warnings are errors here, as in CI.
cmake -S . -B build -DCAUSTICS_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" | tee build/ctest.log

echo "--- the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCAUSTICS_WERROR=ON -DCAUSTICS_SANITIZE=ON -DCAUSTICS_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs" --target caustics_tests caustics
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE e2e | tee build-asan/ctest.log
# The real program too, briefly: keys, splashes, a ripple and q.
bash tools/asan-demo.sh build-asan/caustics

echo "--- the TGA decoder under libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer"
fuzz_seconds=${FUZZ_SECONDS:-30}
CXX=clang++ cmake -S tests/fuzz -B build-fuzz >/dev/null
cmake --build build-fuzz -j"$jobs"
mkdir -p build-fuzz/found
# New inputs go to build-fuzz/found; the seed corpus in the repository stays as it is.
if ! build-fuzz/tga_fuzzer -max_total_time="$fuzz_seconds" -max_len=20000 -close_fd_mask=1 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/ build-fuzz/found tests/fuzz/corpus 2>build-fuzz/fuzz.log; then
    tail -n 60 build-fuzz/fuzz.log
    echo "FAIL: the fuzzer found a crashing input (saved in build-fuzz/)" >&2
    exit 1
fi
grep -E '^(Done|stat::number_of_executed_units)' build-fuzz/fuzz.log

# One closing line over everything above; any failure has already stopped the run.
passed=0
for log in build/ctest.log build-asan/ctest.log; do
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
done
echo "all: $((passed + 2)) passed, 0 failed"
