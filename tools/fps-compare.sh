#!/usr/bin/env bash
# Frame rates of the working tree and of another commit, side by side in one
# run: both are built (the commit in build-compare/), then measured by
# tools/fps.sh in alternating order, round after round, at each window size.
#   tools/fps-compare.sh [commit] [rounds] [frames]   (defaults: bb5799a, 5, 400)
# FPS_SIZES lists the window sizes (default "640x480 1920x1080").
set -euo pipefail
cd "$(dirname "$0")/.."
rev=${1:-bb5799a}
rounds=${2:-5}
frames=${3:-400}
sizes=${FPS_SIZES:-640x480 1920x1080}

sha=$(git rev-parse --short "$rev^{commit}")
base_src=build-compare/src-$sha
if [ ! -d "$base_src" ]; then
    mkdir -p "$base_src"
    git archive "$sha" | tar -x -C "$base_src"
fi
echo "building $sha and the working tree"
cmake -S "$base_src" -B "build-compare/build-$sha" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
      -DCAUSTICS_BENCH=OFF >/dev/null
cmake --build "build-compare/build-$sha" -j"$(nproc)" --target caustics >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target caustics frame_timing >/dev/null

# The frame rate that tools/fps.sh reports for program $1 at window size $2.
fps_of() {
    FPS_BIN=$1 FPS_SIZE=$2 FPS_TIMING=$PWD/build/libframe_timing.so bash tools/fps.sh "$frames" |
        sed -n 's/.* \([0-9.]*\) frames per second.*/\1/p'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for size in $sizes; do
    : >"build/fps-$size-base" && : >"build/fps-$size-work"
    for round in $(seq "$rounds"); do
        # Alternate which goes first, so neither always runs on a warmer machine.
        if [ $((round % 2)) = 1 ]; then order="base work"; else order="work base"; fi
        for which in $order; do
            if [ "$which" = base ]; then bin=$PWD/build-compare/build-$sha/caustics; else bin=$PWD/build/caustics; fi
            fps=$(fps_of "$bin" "$size")
            echo "$fps" >>"build/fps-$size-$which"
            echo "$size round $round $which ($([ "$which" = base ] && echo "$sha" || echo "working tree")): $fps fps"
        done
    done
    b=$(median <"build/fps-$size-base") w=$(median <"build/fps-$size-work")
    echo "$size: median $b fps at $sha, $w fps in the working tree: $(awk -v b="$b" -v w="$w" 'BEGIN { printf "%.2fx", w / b }')"
done
