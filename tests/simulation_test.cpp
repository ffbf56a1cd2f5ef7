#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "app/state.h"
#include "water/droplets.h"
#include "water/mesh.h"
#include "water/random.h"
#include "water/simulation.h"
#include "water/waves.h"

namespace {

constexpr std::uint32_t MULTIPLIER = 214013u, INCREMENT = 2531011u;
std::uint32_t advance(std::uint32_t state) { return state * MULTIPLIER + INCREMENT; }
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

// Centres of the stamps of a given value in the displacement grid.
std::set<std::pair<int, int>> cellsHolding(float value)
{
    std::set<std::pair<int, int>> cells;
    for (int i = 0; i < GRID; ++i)
        for (int j = 0; j < GRID; ++j)
            if (waveDisplacement[i][j] == value)
                cells.insert({i, j});
    return cells;
}

bool stampedAt(int row, int col, float centre, float edge)
{
    for (int i = row - 1; i <= row + 1; ++i)
        for (int j = col - 1; j <= col + 1; ++j)
            if (waveDisplacement[i][j] != (i == row && j == col ? centre : edge))
                return false;
    return true;
}

int framesDrawn = 0;
void countFrame() { ++framesDrawn; }

class Simulation : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        framesDrawn = 0;
        frameDrawer = countFrame;
        dropletDrawer = nullptr;
    }
    void TearDown() override { frameDrawer = nullptr; }
};

// One idle call with its console output.
std::string stepAndCapture()
{
    testing::internal::CaptureStdout();
    simulationStep();
    return testing::internal::GetCapturedStdout();
}

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

TEST_F(Simulation, RainWaitsForTheFirstStepAndRunsOncePerStep)
{
    lightRain = 1;
    std::uint32_t before = randomState;
    simulationStep();  // stepCounter 0: no block is behind it
    EXPECT_EQ(drawsSince(before), 0);
    EXPECT_EQ(stepCounter, 1);

    before = randomState;
    simulationStep();
    EXPECT_EQ(drawsSince(before), 16);
    for (int block = 0; block < RAIN_BLOCKS; ++block)
        EXPECT_EQ(lastRainStep[block], 1);

    // Paused, the blocks catch up once with the count the last step left,
    // then the count stands still and they do not run again.
    paused = 1;
    before = randomState;
    simulationStep();
    EXPECT_EQ(drawsSince(before), 16);
    EXPECT_EQ(lastRainStep[2], 2);
    before = randomState;
    simulationStep();
    simulationStep();
    EXPECT_EQ(drawsSince(before), 0);

    // Rain switched off and on again: every block is behind and runs at once.
    paused = 0;
    lightRain = 0;
    simulationStep();
    simulationStep();
    EXPECT_EQ(lastRainStep[0], 2);
    hardRain = 1;
    before = randomState;
    simulationStep();
    EXPECT_EQ(drawsSince(before), 16);
    EXPECT_EQ(lastRainStep[3], 4);
}

TEST_F(Simulation, RainSpotsFollowTheStepCount)
{
    struct Case { int step; int spots[16][2]; };
    const Case cases[] = {
        // 26 is divisible by 13: divisors 6, 8, 10, 11.
        {26, {{19, 19}, {19, 58}, {58, 19}, {58, 58}, {14, 73}, {14, 102}, {43, 73}, {43, 102},
              {58, 11}, {58, 35}, {81, 11}, {81, 35}, {53, 53}, {53, 74}, {74, 53}, {74, 74}}},
        // 34 is divisible by 17: divisors 4, 11, 9, 10.
        {34, {{29, 29}, {29, 87}, {87, 29}, {87, 87}, {10, 53}, {10, 74}, {31, 53}, {31, 74},
              {65, 13}, {65, 39}, {91, 13}, {91, 39}, {58, 58}, {58, 81}, {81, 58}, {81, 81}}},
        // 38 is divisible by 19: divisors 5, 10, 11, 9.
        {38, {{23, 23}, {23, 70}, {70, 23}, {70, 70}, {11, 58}, {11, 81}, {35, 58}, {35, 81},
              {53, 10}, {53, 31}, {74, 10}, {74, 31}, {65, 65}, {65, 91}, {91, 65}, {91, 91}}},
        // 221 = 13 x 17: the test for 13 comes first.
        {221, {{19, 19}, {19, 58}, {58, 19}, {58, 58}, {14, 73}, {14, 102}, {43, 73}, {43, 102},
               {58, 11}, {58, 35}, {81, 11}, {81, 35}, {53, 53}, {53, 74}, {74, 53}, {74, 74}}},
        // Any other count: divisors 7, 9, 8, 8.
        {100, {{16, 16}, {16, 50}, {50, 16}, {50, 50}, {13, 65}, {13, 91}, {39, 65}, {39, 91},
               {73, 14}, {73, 43}, {102, 14}, {102, 43}, {73, 73}, {73, 102}, {102, 73}, {102, 102}}},
    };
    for (const Case &c : cases)
        for (int which = 0; which < 16; ++which) {
            resetSceneState();
            lightRain = 1;
            paused = 1;  // rain without a wave step, so the stamp stays as it fell
            stepCounter = c.step;
            randomState = stateDroppingOnly(which);
            simulationStep();
            const std::set<std::pair<int, int>> centres = cellsHolding(-5.0f);
            ASSERT_EQ(centres.size(), 1u) << "step " << c.step << ", draw " << which;
            EXPECT_EQ(*centres.begin(), std::make_pair(c.spots[which][0], c.spots[which][1]))
                << "step " << c.step << ", draw " << which;
            EXPECT_TRUE(stampedAt(c.spots[which][0], c.spots[which][1], -5.0f, -1.25f));
        }
}

TEST_F(Simulation, RainDropsAssignTheirStamp)
{
    const struct { int light, hard; float centre, edge; } kinds[] = {
        {1, 0, -5.0f, -1.25f}, {0, 1, -15.0f, -3.75f}, {1, 1, -5.0f, -1.25f}};
    for (const auto &kind : kinds) {
        resetSceneState();
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j)
                waveDisplacement[i][j] = 7.0f;
        lightRain = kind.light;
        hardRain = kind.hard;
        paused = 1;
        stepCounter = 100;
        randomState = stateDroppingOnly(0);
        simulationStep();
        EXPECT_TRUE(stampedAt(16, 16, kind.centre, kind.edge)) << kind.light << kind.hard;
        // A second drop on the same spot leaves the same stamp.
        stepCounter = 101;
        randomState = stateDroppingOnly(0);
        simulationStep();
        EXPECT_TRUE(stampedAt(16, 16, kind.centre, kind.edge)) << kind.light << kind.hard;
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
        paused = 1;  // the box moves while paused; the stamp then stays as it fell
        for (int call = 1; call < box.impactCall; ++call)
            ASSERT_EQ(stepAndCapture(), "") << box.mass << ", call " << call;
        EXPECT_GT(boxBottom, 0.5f);

        const std::uint32_t before = randomState;
        EXPECT_EQ(stepAndCapture(), "KABLoOOYE\n") << box.mass;
        EXPECT_EQ(boxBottom, 0.5f);
        EXPECT_EQ(boxTop, 4.5f);
        EXPECT_EQ(dropletCount, box.droplets);
        EXPECT_TRUE(stampedAt(58, 58, box.centre, box.edge)) << box.mass;
        // The burst (four draws each) and its first update (one each).
        EXPECT_EQ(drawsSince(before), 5 * box.droplets);
        EXPECT_EQ(droplets[0].active, 1);
        EXPECT_FLOAT_EQ(droplets[0].position[1], 2.19f);
        EXPECT_EQ(framesDrawn, 0);

        // Then it sinks by a tenth of its mass per call, silently, until the seabed.
        EXPECT_EQ(stepAndCapture(), "");
        EXPECT_EQ(boxBottom, static_cast<float>(0.5f - box.mass * 0.1));
        EXPECT_EQ(boxTop, static_cast<float>(4.5f - box.mass * 0.1));
        std::string out;
        for (int call = 0; call < 400; ++call)
            out += stepAndCapture();
        EXPECT_EQ(out, "");
        EXPECT_LE(boxBottom, seabedZ);
        EXPECT_GT(boxBottom, seabedZ - box.mass * 0.1f - 1e-4f);
        const float resting = boxBottom;
        simulationStep();
        EXPECT_EQ(boxBottom, resting);
    }
}

TEST_F(Simulation, BoxStopsAndRestartsWithItsFlag)
{
    boxDropping = 1;
    for (int call = 0; call < 5; ++call)
        simulationStep();
    EXPECT_EQ(boxBottom, 12.5f);
    boxDropping = 0;
    simulationStep();
    EXPECT_EQ(boxBottom, 12.5f);
    boxDropping = 1;
    std::string out;
    for (int call = 0; call < 8; ++call)
        out += stepAndCapture();
    EXPECT_EQ(out, "KABLoOOYE\n");

    // Put back at the top while still dropping: a new fall and a new impact 13 calls later.
    boxBottom = 20.0f;
    boxTop = 24.0f;
    out.clear();
    for (int call = 0; call < 12; ++call)
        out += stepAndCapture();
    EXPECT_EQ(out, "");
    EXPECT_EQ(stepAndCapture(), "KABLoOOYE\n");
}

TEST_F(Simulation, AFallThatStepsOverTheWaterlineMakesNoSplash)
{
    // A box type changed mid-fall: from 1.0 at mass 1 the next bottom is -0.5.
    boxDropping = 1;
    boxBottom = 1.0f;
    boxTop = 5.0f;
    const std::uint32_t before = randomState;
    EXPECT_EQ(stepAndCapture(), "");
    EXPECT_EQ(boxBottom, -0.5f);
    EXPECT_EQ(drawsSince(before), 0);
    EXPECT_EQ(dropletCount, 100);
    EXPECT_EQ(stepAndCapture(), "");
    EXPECT_EQ(boxBottom, static_cast<float>(-0.5f - 0.1));
}

TEST_F(Simulation, SplashKey)
{
    dropletCount = 33;
    waveDisplacement[57][57] = 9.0f;
    const std::uint32_t before = randomState;
    keySplash();
    EXPECT_EQ(dropletCount, 66);
    EXPECT_EQ(drawsSince(before), 5 * 66);
    EXPECT_TRUE(stampedAt(58, 58, -40.0f, -5.0f));
    EXPECT_FLOAT_EQ(droplets[65].position[1], 2.19f);
    EXPECT_EQ(droplets[66].active, 0);

    // Pressed again at once, the same 66 droplets start over.
    updateDroplets();
    keySplash();
    EXPECT_FLOAT_EQ(droplets[0].position[1], 2.19f);
    EXPECT_EQ(droplets[0].fadeFactor, static_cast<float>(1.05f - 0.0005f));
}

// Guards the whole water simulation against silent drift: a scripted run
// (the splash key, hard then light rain, a box dropped, droplets moved once
// per frame as the frame does) hashed over the bit patterns of the three grids.
// Any change to the order of operations, a constant, a rounding, the random
// sequence or the droplet motion changes the hash. When a change is meant,
// check the new behaviour by other means first, then update the value here.
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
