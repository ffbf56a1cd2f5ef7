#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "app/state.h"
#include "caustics/workers.h"
#include "water/mesh.h"
#include "water/random.h"
#include "water/waves.h"

namespace {

// The wave step written the plain way, one vertex at a time in scan order,
// every assignment computed in double and stored as a float. The library's
// implementations are restructured for speed and must agree bit for bit.
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

// The split step's orders and thread counts, each as one step.
void splitOnOneThread()
{
    frameThreadCount = 1;
    advanceWavesAvx512Split();
}
void splitOnTwoThreads()
{
    frameThreadCount = 2;
    advanceWavesAvx512Split();
}
void upperHalfFirst() { advanceWavesAvx512Halves(0); }
void lowerHalfFirst() { advanceWavesAvx512Halves(1); }

int framesDrawn = 0;
void countFrame() { ++framesDrawn; }

class Waves : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        framesDrawn = 0;
    }
    void TearDown() override
    {
        frameDrawer = nullptr;
        frameThreadCount = 0;
    }
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

TEST_F(Waves, EveryImplementationMatchesThePlainStepBitForBit)
{
    std::vector<std::pair<const char *, void (*)()>> kernels = {{"portable", advanceWavesPortable}};
    if (avx512Available()) {
        kernels.push_back({"avx512", advanceWavesAvx512});
        kernels.push_back({"split, one thread", splitOnOneThread});
        kernels.push_back({"split, two threads", splitOnTwoThreads});
        kernels.push_back({"split, upper half first", upperHalfFirst});
        kernels.push_back({"split, lower half first", lowerHalfFirst});
    }
    // Rough water of several scales, including subnormal floats, then a rough
    // border too (never written, but read by its neighbours), then stamps
    // between the steps of an otherwise calm grid.
    const float scales[] = {1.0f, 60.0f, 1e-3f, 1e-39f, 1.0f, 0.0f};
    for (const auto &[name, step] : kernels)
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
                step();
                ASSERT_TRUE(sameBits(expected)) << name << ", case " << n << ", step " << k;
            }
        }
}

TEST_F(Waves, SplitStepGivesTheSameBitsOnOneThreadAndOnTwo)
{
    if (!avx512Available())
        GTEST_SKIP() << "the split step is the AVX-512 one";
    // Two grids from the same rough start, one stepped on one thread and one
    // on two, with the same stamps between steps, many of them on the rows
    // either side of the split.
    Grids start, one, two;
    for (int i = 1; i <= 115; ++i)
        for (int j = 1; j <= 115; ++j) {
            waveDisplacement[i][j] = randomValue(20.0f);
            waveVelocity[i][j] = randomValue(3.0f);
        }
    std::memcpy(start.h, waterHeight, sizeof start.h);
    std::memcpy(start.d, waveDisplacement, sizeof start.d);
    std::memcpy(start.v, waveVelocity, sizeof start.v);
    int stamps[40][2];
    for (auto &stamp : stamps) {
        stamp[0] = nextRandom() % 2 ? 54 + nextRandom() % 10 : 2 + nextRandom() % 113;
        stamp[1] = 2 + nextRandom() % 113;
    }
    for (int threads = 1; threads <= 2; ++threads) {
        std::memcpy(waterHeight, start.h, sizeof start.h);
        std::memcpy(waveDisplacement, start.d, sizeof start.d);
        std::memcpy(waveVelocity, start.v, sizeof start.v);
        frameThreadCount = threads;
        for (int k = 0; k < 400; ++k) {
            if (k % 10 == 0)
                stampDisplacement(stamps[k / 10][0], stamps[k / 10][1], -30.0f, -7.5f);
            advanceWavesAvx512Split();
        }
        Grids &out = threads == 1 ? one : two;
        std::memcpy(out.h, waterHeight, sizeof out.h);
        std::memcpy(out.d, waveDisplacement, sizeof out.d);
        std::memcpy(out.v, waveVelocity, sizeof out.v);
    }
    EXPECT_NE(std::memcmp(one.d, start.d, sizeof one.d), 0);
    EXPECT_EQ(std::memcmp(one.h, two.h, sizeof one.h), 0);
    EXPECT_EQ(std::memcmp(one.d, two.d, sizeof one.d), 0);
    EXPECT_EQ(std::memcmp(one.v, two.v, sizeof one.v), 0);
}
