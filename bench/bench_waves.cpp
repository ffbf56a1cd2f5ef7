#include <benchmark/benchmark.h>

#include <cstring>

#include "core/random.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"
#include "water/simulation.h"
#include "water/waves.h"

// Rough water everywhere, as after a while of hard rain: every interior
// vertex gets a displacement and a velocity of a few units, so that no part
// of the grid is calm and the clamps are met often.
static void disturbWater()
{
    resetSceneState();
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j) {
            waveDisplacement[i][j] = static_cast<float>(nextRandom() - 16384) / 2048.0f;
            waveVelocity[i][j] = static_cast<float>(nextRandom() - 16384) / 8192.0f;
        }
    for (int n = 0; n < 10; ++n)
        advanceWaves();
}

struct SavedGrids {
    float height[GRID][GRID], displacement[GRID][GRID], velocity[GRID][GRID];
};

// One wave step by `step`, without a frame. The grids are put back every 256
// steps so that the waves never fade towards subnormal numbers.
static void stepRepeatedly(benchmark::State &state, void (*step)())
{
    disturbWater();
    static SavedGrids saved;
    std::memcpy(saved.height, waterHeight, sizeof waterHeight);
    std::memcpy(saved.displacement, waveDisplacement, sizeof waveDisplacement);
    std::memcpy(saved.velocity, waveVelocity, sizeof waveVelocity);
    int sinceRestore = 0;
    for (auto _ : state) {
        step();
        benchmark::ClobberMemory();
        if (++sinceRestore == 256) {
            state.PauseTiming();
            std::memcpy(waterHeight, saved.height, sizeof waterHeight);
            std::memcpy(waveDisplacement, saved.displacement, sizeof waveDisplacement);
            std::memcpy(waveVelocity, saved.velocity, sizeof waveVelocity);
            sinceRestore = 0;
            state.ResumeTiming();
        }
    }
}

// The step the program takes: the widest vector unit this processor has.
static void BM_WaveStep(benchmark::State &state)
{
    stepRepeatedly(state, advanceWaves);
}
BENCHMARK(BM_WaveStep)->Unit(benchmark::kMicrosecond);

// One idle step under hard rain with the box dropping (and, every 1000 steps,
// put back on top to fall and splash again), without a frame.
static void BM_SimulationStep(benchmark::State &state)
{
    resetSceneState();
    frameDrawer = nullptr;
    hardRain = 1;
    boxDropping = 1;
    for (int n = 0; n < 300; ++n)
        simulationStep();
    int sinceReset = 0;
    for (auto _ : state) {
        simulationStep();
        benchmark::ClobberMemory();
        if (++sinceReset == 1000) {
            boxBottom = 20.0f;
            boxTop = 24.0f;
            sinceReset = 0;
        }
    }
}
BENCHMARK(BM_SimulationStep)->Unit(benchmark::kMicrosecond);
