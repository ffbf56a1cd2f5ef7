#include <benchmark/benchmark.h>

#include <vector>

#include "app/state.h"
#include "caustics/caustics.h"
#include "tests/frame_reference.h"
#include "water/mesh.h"

static void BM_FrameCompute_Calm(benchmark::State &state)
{
    resetSceneState();
    buildWaterMeshData();
    for (auto _ : state) {
        computeFrameValues();
        benchmark::DoNotOptimize(waterTriangles[0].areaRatio);
    }
}
BENCHMARK(BM_FrameCompute_Calm)->Unit(benchmark::kMicrosecond);

static void BM_FrameCompute_Rippled(benchmark::State &state)
{
    resetSceneState();
    buildWaterMeshData();
    rippleWater();
    for (auto _ : state) {
        computeFrameValues();
        benchmark::DoNotOptimize(waterTriangles[0].areaRatio);
    }
}
BENCHMARK(BM_FrameCompute_Rippled)->Unit(benchmark::kMicrosecond);

static void BM_FrameComputeReference_Rippled(benchmark::State &state)
{
    resetSceneState();
    buildWaterMeshData();
    rippleWater();
    for (auto _ : state) {
        reference::frameValues(waterTriangles);
        benchmark::DoNotOptimize(waterTriangles[0].areaRatio);
    }
}
BENCHMARK(BM_FrameComputeReference_Rippled)->Unit(benchmark::kMicrosecond);
#include "caustics/workers.h"
static void BM_Scratch(benchmark::State &state)
{
    resetSceneState();
    buildWaterMeshData();
    rippleWater();
    frameThreadCount = static_cast<int>(state.range(0));
    frameVectorUnit = static_cast<int>(state.range(1));
    for (auto _ : state) {
        computeFrameValues();
        benchmark::DoNotOptimize(waterTriangles[0].areaRatio);
    }
    frameThreadCount = 0; frameVectorUnit = 2;
}
BENCHMARK(BM_Scratch)->Unit(benchmark::kMicrosecond)->Args({1,0})->Args({1,1})->Args({1,2})->Args({1,3})->Args({2,2})->Args({2,3});
