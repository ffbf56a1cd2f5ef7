// For tests and benchmarks: the whole program state put back as a fresh
// process has it.
#pragma once

// The scene values, the water grids, the droplets and the random sequence as
// at start-up; the triangle list, once built, is kept.
void resetSceneState();
