// Everything a frame computes before it draws (normals, caustics, shade, area
// ratio), on calm water and on the scripted rippled water of
// tests/frame_reference.h, by the program's computation and by the plain
// one-triangle-at-a-time formulas, measured in the same run:
//   build/bench/caustics_bench --benchmark_filter=FrameCompute --benchmark_repetitions=5
// The variants below the first four show where the speed comes from.
#include <benchmark/benchmark.h>

#include "app/state.h"
#include "caustics/caustics.h"
#include "caustics/workers.h"
#include "tests/frame_reference.h"
#include "water/mesh.h"

namespace {

enum Water { CALM, RIPPLED };

void prepare(Water water)
{
    resetSceneState();
    buildWaterMeshData();
    if (water == RIPPLED)
        rippleWater();
}

// The program's computation; `threads` 0 means one per processor, as in the program.
void frameCompute(benchmark::State &state, Water water, int threads, int doubleOnly)
{
    prepare(water);
    frameThreadCount = threads;
    frameDoubleOnly = doubleOnly;
    for (auto _ : state) {
        computeFrameValues();
        benchmark::DoNotOptimize(waterTriangles[triangleCount - 1].areaRatio);
        benchmark::ClobberMemory();
    }
    // Triangles whose float results came too near a drawing decision.
    state.counters["redone"] = frameTrianglesRedone;
    frameThreadCount = 0;
    frameDoubleOnly = 0;
}

void frameComputeReference(benchmark::State &state, Water water)
{
    prepare(water);
    for (auto _ : state) {
        reference::frameValues(waterTriangles);
        benchmark::DoNotOptimize(waterTriangles[triangleCount - 1].areaRatio);
        benchmark::ClobberMemory();
    }
}

}  // namespace

static void BM_FrameCompute_Calm(benchmark::State &state) { frameCompute(state, CALM, 0, 0); }
static void BM_FrameCompute_Rippled(benchmark::State &state) { frameCompute(state, RIPPLED, 0, 0); }
static void BM_FrameComputeReference_Calm(benchmark::State &state) { frameComputeReference(state, CALM); }
static void BM_FrameComputeReference_Rippled(benchmark::State &state) { frameComputeReference(state, RIPPLED); }
static void BM_FrameCompute_Rippled_OneThread(benchmark::State &state) { frameCompute(state, RIPPLED, 1, 0); }
static void BM_FrameCompute_Rippled_DoubleOnly(benchmark::State &state) { frameCompute(state, RIPPLED, 0, 1); }

BENCHMARK(BM_FrameCompute_Calm)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameCompute_Rippled)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameComputeReference_Calm)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameComputeReference_Rippled)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameCompute_Rippled_OneThread)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameCompute_Rippled_DoubleOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();
