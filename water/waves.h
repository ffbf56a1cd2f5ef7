// Wave propagation: one time step of the damped, spring-restored wave equation
// on the interior of the water grids, and the smoothed heights that are drawn.
#pragma once

// The velocity of a vertex is pulled back by its own displacement and pushed
// by its eight neighbours (edge neighbours weigh 1, diagonal ones 0.5, six in
// all): together 0.4 x (neighbours - 6 x own) - 0.1 x own, a Laplacian wave
// term plus a weak spring towards rest. Both are then damped.
constexpr double WAVE_SPRING = 2.5;            // own displacement's pull on the velocity, per step
constexpr double WAVE_DIAGONAL_WEIGHT = 0.5;   // weight of a diagonal neighbour in the push
constexpr double WAVE_COUPLING = 0.4;          // neighbour sum's push on the velocity, per step
constexpr double VELOCITY_DAMPING = 0.92;      // share of the velocity kept per step
constexpr float MAX_WAVE_SPEED = 5.0f;         // velocity limit either way, world units per step
constexpr double DISPLACEMENT_DAMPING = 0.9995;  // share of the displacement kept per step

// The drawn height is a 3 x 3 weighted mean of the displacement (weights sum
// to 1), which hides the grid-scale roughness of fresh stamps, clamped so that
// a deep stamp shows as a plateau rather than a spike.
constexpr double SMOOTH_CENTRE = 0.4;          // weight of the vertex itself
constexpr double SMOOTH_EDGE = 0.1;            // weight of each edge neighbour
constexpr double SMOOTH_CORNER = 0.05;         // weight of each diagonal neighbour
constexpr float MAX_WATER_HEIGHT = 0.5f;       // drawn height limit either way, world units

// Draws one frame after each wave step. Installed by start-up; null draws
// nothing, so tests and benchmarks can step the water without a display.
extern void (*frameDrawer)();

// Advances waveVelocity, waveDisplacement and waterHeight one step on the
// interior vertices (rows and columns 1 to 115); the border is never written.
void advanceWaves();

// One wave step followed by one frame (through frameDrawer).
void propagateWaves();
