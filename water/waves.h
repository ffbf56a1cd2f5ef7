// Wave propagation: one time step of the damped, spring-restored wave equation
// on the interior of the water grids, and the smoothed heights that are drawn.
#pragma once

// Draws one frame after each wave step. Installed by start-up; null draws
// nothing, so tests and benchmarks can step the water without a display.
extern void (*frameDrawer)();

// Advances waveVelocity, waveDisplacement and waterHeight one step on the
// interior vertices (rows and columns 1 to 115); the border never changes.
void advanceWaves();

// One wave step followed by one frame (through frameDrawer).
void propagateWaves();
