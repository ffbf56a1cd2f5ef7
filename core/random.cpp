#include "core/random.h"

static constexpr std::uint32_t RANDOM_MULTIPLIER = 214013u;
static constexpr std::uint32_t RANDOM_INCREMENT = 2531011u;

std::uint32_t randomState = RANDOM_START;  // generator state

int nextRandom()
{
    // Unsigned overflow gives the wrap modulo 2^32 that the sequence relies on;
    // the thresholds of rain and droplets assume this 15-bit range.
    randomState = randomState * RANDOM_MULTIPLIER + RANDOM_INCREMENT;
    return static_cast<int>((randomState >> 16) & 0x7fffu);
}
