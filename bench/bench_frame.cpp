#include <benchmark/benchmark.h>

#include "app/state.h"
#include "caustics/caustics.h"
#include "water/mesh.h"

// Everything a frame computes before it draws, over calm water.
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
