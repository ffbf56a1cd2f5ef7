#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "app/state.h"
#include "water/mesh.h"
#include "water/random.h"
#include "water/waves.h"

namespace {

// The wave step written the plain way, one vertex at a time in scan order,
// every assignment computed in double and stored as a float. The library's
// step is restructured for speed and must agree with this bit for bit.
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

void copyFromLibrary(Grids &g)
{
    std::memcpy(g.h, waterHeight, sizeof g.h);
    std::memcpy(g.d, waveDisplacement, sizeof g.d);
    std::memcpy(g.v, waveVelocity, sizeof g.v);
}

bool sameBits(const Grids &g)
{
    return std::memcmp(g.h, waterHeight, sizeof g.h) == 0 && std::memcmp(g.d, waveDisplacement, sizeof g.d) == 0 &&
           std::memcmp(g.v, waveVelocity, sizeof g.v) == 0;
}

// A value of the given scale (or a tiny, subnormal one) from the shared generator.
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
        frameDrawer = nullptr;
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
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j) {
            ASSERT_EQ(waterHeight[i][j], 0.0f);
            ASSERT_EQ(waveDisplacement[i][j], 0.0f);
            ASSERT_EQ(waveVelocity[i][j], 0.0f);
        }
    // Without a drawer the step still runs.
    frameDrawer = nullptr;
    waveDisplacement[30][30] = -5.0f;
    propagateWaves();
    EXPECT_NE(waveVelocity[30][31], 0.0f);
}

TEST_F(Waves, OneStepOfASingleDisturbance)
{
    waveDisplacement[58][58] = -40.0f;
    advanceWaves();

    // The velocity of the centre and of all eight neighbours is clamped.
    EXPECT_EQ(waveVelocity[58][58], 5.0f);
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            if (di != 0 || dj != 0) {
                EXPECT_EQ(waveVelocity[58 + di][58 + dj], -5.0f) << di << ", " << dj;
                EXPECT_EQ(waveDisplacement[58 + di][58 + dj], -4.9975f) << di << ", " << dj;
            }
    EXPECT_EQ(waveDisplacement[58][58], -34.9825f);
    EXPECT_EQ(waterHeight[58][58], -0.5f);
    // Two rows away nothing has moved yet.
    EXPECT_EQ(waveVelocity[60][58], 0.0f);
    EXPECT_EQ(waveDisplacement[60][58], 0.0f);
}

TEST_F(Waves, HeightsFollowTheScanOrder)
{
    waveDisplacement[58][58] = -40.0f;
    advanceWaves();
    // When H(57, 56) is smoothed, D(58, 57) below it still holds its old 0;
    // when H(59, 56) is, D(58, 57) above it already holds -4.9975. A step that
    // updated all of D first, or smoothed the old D, would make them equal.
    EXPECT_EQ(waterHeight[57][56], 0.0f);
    EXPECT_EQ(waterHeight[59][56], static_cast<float>(0.05 * -4.9975f));
    EXPECT_EQ(waterHeight[59][56], -0.249875f);
    // Along a row likewise: left of the centre only D(57, 57) above is new,
    // right of it D(58, 59) and D(57, 59) are.
    EXPECT_EQ(waterHeight[58][56], -0.249875f);
    EXPECT_EQ(waterHeight[58][60], -0.5f);
}

TEST_F(Waves, BorderStaysAtRestWhileWavesReflect)
{
    stampDisplacement(1, 1, -40.0f, -5.0f);
    stampDisplacement(115, 60, -40.0f, -5.0f);
    stampDisplacement(60, 115, -40.0f, -5.0f);
    // The stamps wrote their edge value onto the border; put the border back at rest.
    for (int k = 0; k < GRID; ++k)
        waveDisplacement[0][k] = waveDisplacement[116][k] = waveDisplacement[k][0] = waveDisplacement[k][116] = 0.0f;

    for (int step = 0; step < 300; ++step) {
        advanceWaves();
        for (int k = 0; k < GRID; ++k) {
            for (auto *grid : {waterHeight, waveDisplacement, waveVelocity}) {
                ASSERT_EQ(grid[0][k], 0.0f) << step;
                ASSERT_EQ(grid[116][k], 0.0f) << step;
                ASSERT_EQ(grid[k][0], 0.0f) << step;
                ASSERT_EQ(grid[k][116], 0.0f) << step;
            }
        }
    }
    // The corner disturbance spread inward across the grid.
    EXPECT_NE(waveDisplacement[40][40], 0.0f);
}

TEST_F(Waves, BorderValuesAreNeverWrittenButAreRead)
{
    // A non-zero border (which no disturbance makes) is kept as it is and acts
    // on its interior neighbours.
    waveDisplacement[0][10] = 3.0f;
    waveVelocity[116][5] = 2.0f;
    waterHeight[7][0] = 0.25f;
    advanceWaves();
    EXPECT_EQ(waveDisplacement[0][10], 3.0f);
    EXPECT_EQ(waveVelocity[116][5], 2.0f);
    EXPECT_EQ(waterHeight[7][0], 0.25f);
    EXPECT_NE(waveVelocity[1][10], 0.0f);
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

// The implementations to check: the portable one always, the AVX-512 one
// where this processor has it.
std::vector<std::pair<const char *, void (*)()>> kernels()
{
    std::vector<std::pair<const char *, void (*)()>> list = {{"portable", advanceWavesPortable}};
    if (avx512Available())
        list.push_back({"avx512", advanceWavesAvx512});
    return list;
}

TEST_F(Waves, EveryImplementationMatchesThePlainStepBitForBit)
{
    // Rough water of several scales, including values so small that they are
    // subnormal floats, and once with a rough border too (never written by
    // a step, but read by its neighbours).
    const float scales[] = {1.0f, 60.0f, 1e-3f, 1e-39f, 1.0f};
    for (const auto &[name, step] : kernels())
        for (size_t n = 0; n < std::size(scales); ++n) {
            resetSceneState();
            const bool roughBorder = n == std::size(scales) - 1;
            for (int i = 0; i < GRID; ++i)
                for (int j = 0; j < GRID; ++j) {
                    const bool border = i == 0 || j == 0 || i == GRID - 1 || j == GRID - 1;
                    if (border && !roughBorder)
                        continue;
                    waveDisplacement[i][j] = randomValue(scales[n]);
                    waveVelocity[i][j] = randomValue(scales[n] / 4);
                    waterHeight[i][j] = randomValue(0.5f);
                }
            Grids expected;
            copyFromLibrary(expected);
            for (int k = 0; k < 40; ++k) {
                referenceStep(expected);
                step();
                ASSERT_TRUE(sameBits(expected)) << name << ", scale " << scales[n] << ", step " << k;
            }
        }
}

TEST_F(Waves, EveryImplementationMatchesThePlainStepWithStampsBetweenSteps)
{
    for (const auto &[name, step] : kernels()) {
        resetSceneState();
        Grids expected;
        copyFromLibrary(expected);
        for (int k = 0; k < 400; ++k) {
            if (k % 7 == 0) {
                const int row = 2 + nextRandom() % 113, col = 2 + nextRandom() % 113;
                const float depth = -static_cast<float>(nextRandom() % 200);
                stampDisplacement(row, col, depth, depth / 4);
                for (int i = row - 1; i <= row + 1; ++i)
                    for (int j = col - 1; j <= col + 1; ++j)
                        expected.d[i][j] = waveDisplacement[i][j];
            }
            referenceStep(expected);
            step();
            ASSERT_TRUE(sameBits(expected)) << name << ", step " << k;
        }
    }
}
