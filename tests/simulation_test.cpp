#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/random.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "water/droplets.h"
#include "water/mesh.h"
#include "water/simulation.h"
#include "water/waves.h"

namespace {

std::uint32_t advance(std::uint32_t state) { return state * 214013u + 2531011u; }
int drawOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7fffu); }

int drawsSince(std::uint32_t from)
{
    for (int n = 0; n < 100000; ++n, from = advance(from))
        if (from == randomState)
            return n;
    return -1;
}

// A generator state whose next 16 draws let exactly one rain drop fall: the
// one of draw number `which` (block which / 4, spot which % 4).
std::uint32_t stateDroppingOnly(int which)
{
    for (std::uint32_t seed = 1;; ++seed) {
        std::uint32_t s = seed;
        bool ok = true;
        for (int n = 0; n < 16 && ok; ++n) {
            s = advance(s);
            ok = (drawOf(s) >= 32000) == (n == which);
        }
        if (ok)
            return seed;
    }
}

// Exactly the 3 x 3 stamp (centre, edge) at (row, col), and centre nowhere else.
bool onlyStampAt(int row, int col, float centre, float edge)
{
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j) {
            const bool inPatch = std::abs(i - row) <= 1 && std::abs(j - col) <= 1;
            if (inPatch && waveDisplacement[i][j] != (i == row && j == col ? centre : edge))
                return false;
            if (!inPatch && waveDisplacement[i][j] == centre)
                return false;
        }
    return true;
}

int framesDrawn = 0;
void countFrame() { ++framesDrawn; }

std::string stepAndCapture()
{
    testing::internal::CaptureStdout();
    simulationStep();
    return testing::internal::GetCapturedStdout();
}

class Simulation : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        framesDrawn = 0;
        frameDrawer = countFrame;
    }
    void TearDown() override { frameDrawer = nullptr; }
};

}  // namespace

TEST_F(Simulation, EachUnpausedCallStepsAndDrawsOnce)
{
    waveDisplacement[40][40] = -20.0f;
    simulationStep();
    simulationStep();
    EXPECT_EQ(stepCounter, 2);
    EXPECT_EQ(framesDrawn, 2);
    EXPECT_NE(waterHeight[40][40], 0.0f);
    paused = 1;
    const float before = waveDisplacement[40][41];
    simulationStep();
    EXPECT_EQ(stepCounter, 2);
    EXPECT_EQ(framesDrawn, 2);
    EXPECT_EQ(waveDisplacement[40][41], before);
}

TEST_F(Simulation, RainBlocksRunOncePerStepCount)
{
    lightRain = 1;
    std::uint32_t before = randomState;
    simulationStep();  // stepCounter 0: no block is behind it
    EXPECT_EQ(drawsSince(before), 0);
    before = randomState;
    simulationStep();  // stepCounter 1: all four blocks, four draws each
    EXPECT_EQ(drawsSince(before), 16);
    EXPECT_EQ(lastRainStep[3], 1);

    // Paused, the blocks catch up once with the count the last step left, then
    // the count stands still.
    paused = 1;
    before = randomState;
    simulationStep();
    simulationStep();
    EXPECT_EQ(drawsSince(before), 16);

    // Rain off for two steps and on again: every block is behind and runs at once.
    paused = 0;
    lightRain = 0;
    simulationStep();
    simulationStep();
    EXPECT_EQ(lastRainStep[0], 2);
    hardRain = 1;
    before = randomState;
    simulationStep();
    EXPECT_EQ(drawsSince(before), 16);
    EXPECT_EQ(lastRainStep[0], 4);
}

TEST_F(Simulation, RainSpotsFollowTheStepCount)
{
    // Each block's four spots in order, for the divisors the step count picks.
    const int by13[16][2] = {{19, 19}, {19, 58}, {58, 19}, {58, 58}, {14, 73}, {14, 102}, {43, 73}, {43, 102},
                             {58, 11}, {58, 35}, {81, 11}, {81, 35}, {53, 53}, {53, 74}, {74, 53}, {74, 74}};
    const int by17[16][2] = {{29, 29}, {29, 87}, {87, 29}, {87, 87}, {10, 53}, {10, 74}, {31, 53}, {31, 74},
                             {65, 13}, {65, 39}, {91, 13}, {91, 39}, {58, 58}, {58, 81}, {81, 58}, {81, 81}};
    const int by19[16][2] = {{23, 23}, {23, 70}, {70, 23}, {70, 70}, {11, 58}, {11, 81}, {35, 58}, {35, 81},
                             {53, 10}, {53, 31}, {74, 10}, {74, 31}, {65, 65}, {65, 91}, {91, 65}, {91, 91}};
    const int other[16][2] = {{16, 16}, {16, 50}, {50, 16}, {50, 50}, {13, 65}, {13, 91}, {39, 65}, {39, 91},
                              {73, 14}, {73, 43}, {102, 14}, {102, 43}, {73, 73}, {73, 102}, {102, 73}, {102, 102}};
    // 221 = 13 x 17: the test for 13 comes first.
    const struct { int step; const int (*spots)[2]; } cases[] = {
        {26, by13}, {34, by17}, {38, by19}, {221, by13}, {100, other}};
    for (const auto &c : cases)
        for (int which = 0; which < 16; ++which) {
            resetSceneState();
            lightRain = 1;
            paused = 1;  // no wave step, so the stamp stays as it fell
            stepCounter = c.step;
            randomState = stateDroppingOnly(which);
            simulationStep();
            EXPECT_TRUE(onlyStampAt(c.spots[which][0], c.spots[which][1], -5.0f, -1.25f))
                << "step " << c.step << ", draw " << which;
        }
}

TEST_F(Simulation, RainDropsAssignTheirStamp)
{
    const struct { int light, hard; float centre, edge; } kinds[] = {
        {1, 0, -5.0f, -1.25f}, {0, 1, -15.0f, -3.75f}, {1, 1, -5.0f, -1.25f}};
    for (const auto &kind : kinds) {
        resetSceneState();
        for (auto &row : waveDisplacement)
            for (float &value : row)
                value = 7.0f;
        lightRain = kind.light;
        hardRain = kind.hard;
        paused = 1;
        for (int step : {100, 101}) {  // a second drop on the spot leaves the same stamp
            stepCounter = step;
            randomState = stateDroppingOnly(0);
            simulationStep();
            EXPECT_TRUE(onlyStampAt(16, 16, kind.centre, kind.edge)) << kind.light << kind.hard << step;
        }
    }
}

TEST_F(Simulation, BoxFallsSplashesOnceAndSinks)
{
    const struct { float mass; int impactCall, droplets; float centre, edge; } boxes[] = {
        {1.0f, 13, 66, -100.0f, -25.0f}, {2.0f, 7, 100, -200.0f, -50.0f}, {0.5f, 26, 33, -50.0f, -12.5f}};
    for (const auto &box : boxes) {
        resetSceneState();
        boxMass = box.mass;
        boxDropping = 1;
        paused = 1;  // the box moves while paused, and its stamp stays as it fell
        for (int call = 1; call < box.impactCall; ++call)
            ASSERT_EQ(stepAndCapture(), "") << box.mass << ", call " << call;

        const std::uint32_t before = randomState;
        EXPECT_EQ(stepAndCapture(), "KABLoOOYE\n") << box.mass;
        EXPECT_EQ(boxBottom, 0.5f);
        EXPECT_EQ(boxTop, 4.5f);
        EXPECT_EQ(dropletCount, box.droplets);
        EXPECT_TRUE(onlyStampAt(58, 58, box.centre, box.edge)) << box.mass;
        // The burst (four draws each) and its first update (one each).
        EXPECT_EQ(drawsSince(before), 5 * box.droplets);
        EXPECT_FLOAT_EQ(droplets[0].position[1], 2.19f);
        EXPECT_EQ(framesDrawn, 0);

        // Then it sinks by a tenth of its mass per call, silently, onto the seabed.
        EXPECT_EQ(stepAndCapture(), "");
        EXPECT_EQ(boxBottom, static_cast<float>(0.5f - box.mass * 0.1));
        std::string out;
        for (int call = 0; call < 400; ++call)
            out += stepAndCapture();
        EXPECT_EQ(out, "");
        EXPECT_LE(boxBottom, seabedZ);
        EXPECT_GT(boxBottom, seabedZ - box.mass * 0.1f - 1e-4f);
    }
}

TEST_F(Simulation, BoxStopsRestartsAndCanMissTheWaterline)
{
    boxDropping = 1;
    for (int call = 0; call < 5; ++call)
        simulationStep();
    boxDropping = 0;
    simulationStep();
    EXPECT_EQ(boxBottom, 12.5f);
    boxDropping = 1;
    std::string out;
    for (int call = 0; call < 8; ++call)
        out += stepAndCapture();
    EXPECT_EQ(out, "KABLoOOYE\n");

    // Put back on top while dropping: a new fall, and a new impact 13 calls later.
    boxBottom = 20.0f;
    boxTop = 24.0f;
    out.clear();
    for (int call = 0; call < 13; ++call)
        out += stepAndCapture();
    EXPECT_EQ(out, "KABLoOOYE\n");
    EXPECT_EQ(boxBottom, 0.5f);

    // A fall that steps over 0.5 (the type changed mid-fall) makes no splash.
    boxBottom = 1.0f;
    boxTop = 5.0f;
    const std::uint32_t before = randomState;
    EXPECT_EQ(stepAndCapture(), "");
    EXPECT_EQ(boxBottom, -0.5f);
    EXPECT_EQ(drawsSince(before), 0);
}

TEST_F(Simulation, SplashKey)
{
    dropletCount = 33;
    waveDisplacement[57][57] = 9.0f;
    const std::uint32_t before = randomState;
    keySplash();
    EXPECT_EQ(dropletCount, 66);
    EXPECT_EQ(drawsSince(before), 5 * 66);
    EXPECT_TRUE(onlyStampAt(58, 58, -40.0f, -5.0f));
    EXPECT_FLOAT_EQ(droplets[65].position[1], 2.19f);
    EXPECT_EQ(droplets[66].active, 0);
    // Pressed again at once, the same 66 droplets start over.
    updateDroplets();
    keySplash();
    EXPECT_FLOAT_EQ(droplets[0].position[1], 2.19f);
}

// Guards the whole water simulation against silent drift: a scripted run
// (the splash key, hard then light rain, a box dropped, droplets moved once
// per frame as the frame does) hashed over the bit patterns of the three
// grids. Any change to the order of operations, a constant, a rounding, the
// random sequence or the droplet motion changes the hash. When a change is
// meant, check the new behaviour by other means first, then update the value.
TEST_F(Simulation, GoldenRun)
{
    frameDrawer = updateDroplets;
    keySplash();
    hardRain = 1;
    boxDropping = 1;
    for (int call = 0; call < 400; ++call) {
        if (call == 150) {
            hardRain = 0;
            lightRain = 1;
        }
        if (call == 200)
            keySplash();
        simulationStep();
    }
    std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (const auto *grid : {&waterHeight, &waveDisplacement, &waveVelocity}) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(grid);
        for (size_t n = 0; n < sizeof *grid; ++n)
            hash = (hash ^ bytes[n]) * 1099511628211ull;
    }
    EXPECT_EQ(stepCounter, 400);
    EXPECT_EQ(hash, 3870787453327316557ull);
}
