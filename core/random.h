// The one pseudo-random sequence of the program: a 32-bit linear congruential
// state shared by key presses, rain and splash droplets, so that their draws
// interleave in a single reproducible order.
#pragma once

#include <cstdint>

constexpr int RANDOM_MAX = 32767;           // largest value nextRandom returns
constexpr std::uint32_t RANDOM_START = 1u;  // the state a process starts with

extern std::uint32_t randomState;  // generator state; RANDOM_START at first, never reseeded

// Advances the state once and returns the next draw, 0 to RANDOM_MAX.
int nextRandom();
