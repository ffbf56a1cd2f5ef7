#!/usr/bin/env bash
# Reads a heaptrack recording of the real program and sorts its allocations by
# who made them. An allocation is our code's own when the innermost frame of
# our sources on its stack calls the allocator directly or through the C and
# C++ libraries (strings, files, threads); when it calls into GL, GLU, GLUT or
# X instead, the allocation is that library's (the software GL driver keeps
# caches that grow with what it has drawn). Fails when our own code allocates
# inside the main loop, apart from starting the frame's thread pool once, or
# when any of our own allocations is still held at the end, apart from the
# triangle list, which lives as long as the process by design, and the
# console's buffer.
#
#   tools/heap_report.sh heaptrack-file
set -euo pipefail
cd "$(dirname "$0")/.."
file=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

heaptrack_print -f "$file" -F "$tmp/calls" --flamegraph-cost-type allocations >"$tmp/summary" 2>&1
heaptrack_print -f "$file" -F "$tmp/leaks" --flamegraph-cost-type leaked >/dev/null 2>&1
echo "heaptrack totals:"
grep -E '^(total runtime|calls to allocation functions|temporary memory allocations|peak heap memory|total memory leaked)' \
    "$tmp/summary" | sed 's/^/  /'

# Source file names of our modules, as heaptrack shows them beside a frame.
ours=$(ls app water caustics render scenery | grep -E '\.(cpp|h)$' | sort -u | sed 's/\./\\\\./g' | paste -sd'|')

# Prints "cost<TAB>kind<TAB>our frame -> next frame" for every stack with a
# frame of ours; kind is "own" (our code allocates), "lib" (a library does).
classify() {
    awk -v ours="\\\\((${ours})\\\\)" '
    {
        cost = $NF; line = $0; sub(/ [0-9]+$/, "", line)
        k = split(line, f, ";"); last = 0
        for (i = 1; i <= k; i++) if (f[i] ~ ours) last = i
        if (!last || cost == 0) next
        next_frame = (last < k && f[last + 1] != "") ? f[last + 1] : "the allocator"
        own = next_frame ~ /^(the allocator|std::|void std::|__gnu_cxx|operator new|malloc|calloc|realloc|__fopen_internal|_IO_|__GI__IO_|__GI___strdup)/
        loop = line ~ /glutMainLoop/
        sub(/ \(.*$/, "", next_frame)
        our = f[last]; sub(/\(.*$/, "", our); sub(/\[abi:cxx11\]/, "", our)
        printf "%d\t%s\t%s\t%s -> %s\n", cost, own ? "own" : "lib", loop ? "loop" : "start", our, next_frame
    }' "$1" | awk -F'\t' '{ c[$2 "\t" $3 "\t" $4] += $1 } END { for (k in c) print c[k] "\t" k }' | sort -t$'\t' -k1,1nr
}
classify "$tmp/calls" >"$tmp/calls.sorted"
classify "$tmp/leaks" >"$tmp/leaks.sorted"

echo "allocation calls made by our own code, at start-up:"
awk -F'\t' '$2 == "own" && $3 == "start" { printf "  %8d  %s\n", $1, $4 }' "$tmp/calls.sorted"
echo "allocation calls made by our own code inside the main loop:"
awk -F'\t' '$2 == "own" && $3 == "loop" { printf "  %8d  %s\n", $1, $4 }' "$tmp/calls.sorted"
echo "allocation calls made by libraries called from our code, inside the main loop (largest 8):"
awk -F'\t' '$2 == "lib" && $3 == "loop" { printf "  %8d  %s\n", $1, $4 }' "$tmp/calls.sorted" | head -n 8
echo "bytes still held at exit, allocated by our own code:"
awk -F'\t' '$2 == "own" { printf "  %8d  %s\n", $1, $4 }' "$tmp/leaks.sorted"

status=0
# Starting the frame's thread pool on the first frame (at most one allocation
# per pool thread at each site) is the only allocation our code may make
# inside the loop; any other would be made again and again.
if awk -F'\t' '$2 == "own" && $3 == "loop" && !($4 ~ /^runFrameChunks -> / && $1 < 8)' \
        "$tmp/calls.sorted" | grep -q .; then
    echo "FAIL: our own code allocates inside the main loop" >&2
    status=1
fi
# The console's buffer, made by the C library at the first print, also lives
# to the end.
if awk -F'\t' '$2 == "own" && $4 !~ /^(buildWaterMeshData -> |printBanner -> __GI__IO_puts)/' "$tmp/leaks.sorted" |
        grep -q .; then
    echo "FAIL: memory allocated by our own code is still held at exit" >&2
    status=1
fi
[ "$status" = 0 ] && echo "heap: our own code allocates only at start-up and holds only the triangle list at exit"
exit "$status"
