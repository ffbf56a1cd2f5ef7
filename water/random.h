// The one pseudo-random sequence of the program: a 32-bit linear congruential
// state shared by key presses, rain and splash droplets, so that their draws
// interleave in a single reproducible order.
#pragma once

#include <cstdint>

constexpr int RANDOM_MAX = 32767;  // largest value nextRandom returns

extern std::uint32_t randomState;  // generator state; starts at 1, never reseeded

// Advances the state once and returns the next draw, 0 to RANDOM_MAX.
int nextRandom();

// Restores the start state (1).
void resetRandom();
