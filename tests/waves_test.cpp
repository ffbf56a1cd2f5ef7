#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/random.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"
#include "water/waves.h"

namespace {

// The wave step written the plain way, one vertex at a time in scan order,
// every assignment computed in double and stored as a float. The library's
// step is restructured for the vector units and must agree bit for bit.
struct Grids {
    float h[GRID][GRID], d[GRID][GRID], v[GRID][GRID];
};

void referenceStep(Grids &g)
{
    auto &D = g.d;
    auto &V = g.v;
    auto &H = g.h;
    for (int i = 1; i <= 115; ++i)
        for (int j = 1; j <= 115; ++j) {
            V[i][j] = static_cast<float>(V[i][j] - static_cast<double>(D[i][j]) * 2.5);
            const double s = static_cast<double>(D[i][j - 1]) + D[i][j + 1] + D[i + 1][j] + D[i - 1][j] +
                             0.5 * D[i + 1][j - 1] + 0.5 * D[i + 1][j + 1] + 0.5 * D[i - 1][j + 1] +
                             0.5 * D[i - 1][j - 1];
            V[i][j] = static_cast<float>(V[i][j] + 0.4 * s);
            V[i][j] = static_cast<float>(V[i][j] * 0.92);
            if (V[i][j] > 5.0f)
                V[i][j] = 5.0f;
            if (V[i][j] < -5.0f)
                V[i][j] = -5.0f;
        }
    for (int i = 1; i <= 115; ++i)
        for (int j = 1; j <= 115; ++j) {
            D[i][j] = static_cast<float>(static_cast<double>(D[i][j]) + V[i][j]);
            D[i][j] = static_cast<float>(D[i][j] * 0.9995);
            H[i][j] = static_cast<float>(0.4 * D[i][j] + 0.1 * D[i - 1][j] + 0.1 * D[i + 1][j] + 0.1 * D[i][j + 1] +
                                         0.1 * D[i][j - 1] + 0.05 * D[i + 1][j + 1] + 0.05 * D[i - 1][j + 1] +
                                         0.05 * D[i - 1][j - 1] + 0.05 * D[i + 1][j - 1]);
            if (H[i][j] < -0.5f)
                H[i][j] = -0.5f;
            if (H[i][j] > 0.5f)
                H[i][j] = 0.5f;
        }
}

bool sameBits(const Grids &g)
{
    return std::memcmp(g.h, waterHeight, sizeof g.h) == 0 && std::memcmp(g.d, waveDisplacement, sizeof g.d) == 0 &&
           std::memcmp(g.v, waveVelocity, sizeof g.v) == 0;
}

float randomValue(float scale)
{
    return static_cast<float>(nextRandom() - 16384) / 16384.0f * scale;
}

int framesDrawn = 0;
void countFrame() { ++framesDrawn; }

class Waves : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        framesDrawn = 0;
    }
    void TearDown() override { frameDrawer = nullptr; }
};

}  // namespace

TEST_F(Waves, CalmWaterStaysCalmAndEachStepDrawsOneFrame)
{
    frameDrawer = countFrame;
    propagateWaves();
    propagateWaves();
    EXPECT_EQ(framesDrawn, 2);
    for (auto *grid : {waterHeight, waveDisplacement, waveVelocity})
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j)
                ASSERT_EQ(grid[i][j], 0.0f);
}

TEST_F(Waves, OneStepOfASingleDisturbanceFollowsTheScanOrder)
{
    waveDisplacement[58][58] = -40.0f;
    advanceWaves();
    // Every velocity of the 3 x 3 patch is clamped.
    EXPECT_EQ(waveVelocity[58][58], 5.0f);
    EXPECT_EQ(waveDisplacement[58][58], -34.9825f);
    EXPECT_EQ(waterHeight[58][58], -0.5f);
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            if (di != 0 || dj != 0) {
                EXPECT_EQ(waveVelocity[58 + di][58 + dj], -5.0f);
                EXPECT_EQ(waveDisplacement[58 + di][58 + dj], -4.9975f);
            }
    EXPECT_EQ(waveDisplacement[60][58], 0.0f);
    // When H(57, 56) is smoothed, D(58, 57) below it still holds its old 0;
    // when H(59, 56) is, D(58, 57) above it already holds -4.9975. Updating
    // all of D first, or smoothing the old D, would make them equal. Along a
    // row likewise: left of the centre only D(57, 57) is new, right of it
    // D(58, 59) and D(57, 59) are.
    EXPECT_EQ(waterHeight[57][56], 0.0f);
    EXPECT_EQ(waterHeight[59][56], -0.249875f);
    EXPECT_EQ(waterHeight[58][56], -0.249875f);
    EXPECT_EQ(waterHeight[58][60], -0.5f);
}

TEST_F(Waves, BorderStaysAtRestWhileWavesReflect)
{
    // Disturbances next to three edges (their edge values that fall on the
    // border are put back to rest, as no real stamp reaches it).
    stampDisplacement(1, 1, -40.0f, -5.0f);
    stampDisplacement(115, 60, -40.0f, -5.0f);
    stampDisplacement(60, 115, -40.0f, -5.0f);
    for (int k = 0; k < GRID; ++k)
        waveDisplacement[0][k] = waveDisplacement[116][k] = waveDisplacement[k][0] = waveDisplacement[k][116] = 0.0f;
    for (int step = 0; step < 300; ++step) {
        advanceWaves();
        for (auto *grid : {waterHeight, waveDisplacement, waveVelocity})
            for (int k = 0; k < GRID; ++k)
                ASSERT_TRUE(grid[0][k] == 0.0f && grid[116][k] == 0.0f && grid[k][0] == 0.0f && grid[k][116] == 0.0f)
                    << "step " << step << ", index " << k;
    }
    EXPECT_NE(waveDisplacement[40][40], 0.0f);
}

TEST_F(Waves, OnlyVelocityAndHeightAreClamped)
{
    for (int i = 1; i <= 115; ++i)
        for (int j = 1; j <= 115; ++j) {
            waveDisplacement[i][j] = randomValue(1000.0f);
            waveVelocity[i][j] = randomValue(100.0f);
        }
    advanceWaves();
    float largestDisplacement = 0.0f;
    for (int i = 1; i <= 115; ++i)
        for (int j = 1; j <= 115; ++j) {
            ASSERT_LE(std::fabs(waveVelocity[i][j]), 5.0f);
            ASSERT_LE(std::fabs(waterHeight[i][j]), 0.5f);
            largestDisplacement = std::max(largestDisplacement, std::fabs(waveDisplacement[i][j]));
        }
    EXPECT_GT(largestDisplacement, 500.0f);
}

TEST_F(Waves, MatchesThePlainStepBitForBit)
{
    // Rough water of several scales, including subnormal floats, then a rough
    // border too (never written, but read by its neighbours), then stamps
    // between the steps of an otherwise calm grid.
    const float scales[] = {1.0f, 60.0f, 1e-3f, 1e-39f, 1.0f, 0.0f};
    for (int n = 0; n < 6; ++n) {
        resetSceneState();
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j) {
                const bool border = i == 0 || j == 0 || i == GRID - 1 || j == GRID - 1;
                if (!border || n == 4) {
                    waveDisplacement[i][j] = randomValue(scales[n]);
                    waveVelocity[i][j] = randomValue(scales[n] / 4);
                    waterHeight[i][j] = randomValue(0.5f);
                }
            }
        Grids expected;
        std::memcpy(expected.h, waterHeight, sizeof expected.h);
        std::memcpy(expected.d, waveDisplacement, sizeof expected.d);
        std::memcpy(expected.v, waveVelocity, sizeof expected.v);
        for (int k = 0; k < (n == 5 ? 300 : 30); ++k) {
            if (n == 5 && k % 7 == 0) {
                const int row = 2 + nextRandom() % 113, col = 2 + nextRandom() % 113;
                const float depth = -static_cast<float>(nextRandom() % 200);
                stampDisplacement(row, col, depth, depth / 4);
                for (int i = row - 1; i <= row + 1; ++i)
                    for (int j = col - 1; j <= col + 1; ++j)
                        expected.d[i][j] = waveDisplacement[i][j];
            }
            referenceStep(expected);
            advanceWaves();
            ASSERT_TRUE(sameBits(expected)) << "case " << n << ", step " << k;
        }
    }
}
