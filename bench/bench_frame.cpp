// Everything a frame computes before it draws, on calm water and on the
// scripted rippled water of tests/frame_reference.h, by the program and by the
// plain one-triangle-at-a-time formulas, measured in the same run:
//   build/bench/caustics_bench --benchmark_filter=Frame --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include "caustics/caustics.h"
#include "core/state.h"
#include "tests/frame_reference.h"
#include "tests/scene_reset.h"
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

void finish(benchmark::State &state)
{
    benchmark::DoNotOptimize(waterTriangles[triangleCount - 1].areaRatio);
    benchmark::ClobberMemory();
    state.counters["caustic_vertices"] = causticVertexCount;
}

// A whole frame's computation as the program runs it (scenery and caustics
// shown): the triangle records and every array the frame draws.
void frameCompute(benchmark::State &state, Water water)
{
    prepare(water);
    for (auto _ : state)
        computeFrameValues();
    finish(state);
}

// The triangle records alone: the same work as the plain formulas below.
void trianglesOnly(benchmark::State &state, Water water)
{
    prepare(water);
    for (auto _ : state)
        computeCaustics();
    finish(state);
}

void frameComputeReference(benchmark::State &state, Water water)
{
    prepare(water);
    for (auto _ : state) {
        reference::frameValues(waterTriangles);
        benchmark::ClobberMemory();
    }
}

}  // namespace

static void BM_FrameCompute_Calm(benchmark::State &state) { frameCompute(state, CALM); }
static void BM_FrameCompute_Rippled(benchmark::State &state) { frameCompute(state, RIPPLED); }
static void BM_FrameTriangles_Rippled(benchmark::State &state) { trianglesOnly(state, RIPPLED); }
static void BM_FrameComputeReference_Calm(benchmark::State &state) { frameComputeReference(state, CALM); }
static void BM_FrameComputeReference_Rippled(benchmark::State &state) { frameComputeReference(state, RIPPLED); }

BENCHMARK(BM_FrameCompute_Calm)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameCompute_Rippled)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameTriangles_Rippled)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameComputeReference_Calm)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameComputeReference_Rippled)->Unit(benchmark::kMicrosecond)->UseRealTime();
