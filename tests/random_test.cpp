#include <gtest/gtest.h>

#include "core/random.h"
#include "core/state.h"
#include "tests/scene_reset.h"

TEST(Random, FirstDrawsFromStateOne)
{
    resetSceneState();
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected)
        EXPECT_EQ(nextRandom(), value);
}

TEST(Random, StaysWithinFifteenBitsAndWrapsTheState)
{
    randomState = RANDOM_START;
    int low = RANDOM_MAX, high = 0;
    for (int n = 0; n < 200000; ++n) {
        const int x = nextRandom();
        low = std::min(low, x);
        high = std::max(high, x);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, RANDOM_MAX);

    // The state is taken modulo 2^32: a state near the top wraps as unsigned arithmetic does.
    randomState = 0xffffffffu;
    nextRandom();
    EXPECT_EQ(randomState, static_cast<std::uint32_t>(0xffffffffull * 214013u + 2531011u));
}

TEST(Random, ResetRestartsTheSequence)
{
    randomState = RANDOM_START;
    const int first = nextRandom();
    nextRandom();
    resetSceneState();
    EXPECT_EQ(nextRandom(), first);
}
