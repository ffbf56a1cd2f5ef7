#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/state.h"
#include "render/frame.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
#include "water/droplets.h"
#include "water/mesh.h"

namespace {

// The generator's step and its inverse, so that a test can choose the draws.
constexpr std::uint32_t MULTIPLIER = 214013u, INCREMENT = 2531011u;
constexpr std::uint32_t inverseMultiplier()
{
    std::uint32_t x = 1;  // each Newton round doubles the correct low bits
    for (int n = 0; n < 5; ++n)
        x *= 2u - MULTIPLIER * x;
    return x;
}
static_assert(MULTIPLIER * inverseMultiplier() == 1u);

int drawOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7fffu); }
double radiusFor(int x) { return x < 10000 ? 0.075 : x < 20000 ? 0.1 : 0.125; }

// A generator state whose next draws are x, then k1, k2 and k3 modulo 3.
std::uint32_t stateGiving(int x, int k1, int k2, int k3)
{
    for (std::uint32_t low = 0; low < 0x10000u; ++low) {
        const std::uint32_t first = (static_cast<std::uint32_t>(x) << 16) | low;
        std::uint32_t s = first;
        bool ok = true;
        for (int k : {k1, k2, k3}) {
            s = s * MULTIPLIER + INCREMENT;
            ok = ok && drawOf(s) % 3 == k;
        }
        if (ok)
            return (first - INCREMENT) * inverseMultiplier();
    }
    ADD_FAILURE() << "no state gives " << x << ", " << k1 << ", " << k2 << ", " << k3;
    return 1;
}

// How many draws took the generator from state `from` to its current state.
int drawsSince(std::uint32_t from)
{
    for (int n = 0; n < 100000; ++n, from = from * MULTIPLIER + INCREMENT)
        if (from == randomState)
            return n;
    return -1;
}

std::vector<float> drawnHeights;
void recordHeight(const float *, const float position[3], double) { drawnHeights.push_back(position[1]); }

class Droplets : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        drawnHeights.clear();
        dropletDrawer = recordHeight;
    }
    void TearDown() override { dropletDrawer = nullptr; }

    // One droplet thrown from the origin with the given draws.
    static void throwOne(int direction, int k1, int k2, int k3)
    {
        dropletCount = 1;
        randomState = stateGiving(direction, k1, k2, k3);
        createSplash(0.0f, 0.0f, 1.0f);
    }
};

}  // namespace

TEST_F(Droplets, NothingFliesBeforeTheFirstSplash)
{
    const std::uint32_t before = randomState;
    updateDroplets();
    EXPECT_TRUE(drawnHeights.empty());
    EXPECT_EQ(randomState, before);
}

TEST_F(Droplets, DirectionBands)
{
    struct Case { int draw, dirX, dirZ; };
    const Case cases[] = {
        {0, 1, 0},      {1999, 1, 0},   {2000, 1, -1},  {7999, 1, -1},  {8000, 1, 1},   {14999, 1, 1},  {15000, -1, 0},
        {16999, -1, 0}, {17000, -1, -1}, {21999, -1, -1}, {22000, -1, 1}, {27999, -1, 1}, {28000, 1, 0}, {29000, 1, 0},
        {29999, 1, 0},  {30000, 0, -1}, {30999, 0, -1}, {31000, 0, 1},  {32767, 0, 1},
    };
    for (const Case &c : cases) {
        // k1 = 2 shows in the speed, k2 = k3 = 1 in the start offsets.
        throwOne(c.draw, 2, 1, 1);
        const Droplet &d = droplets[0];
        EXPECT_EQ(d.velocity[0], 2.0f * c.dirX) << c.draw;
        EXPECT_EQ(d.velocity[2], 2.0f * c.dirZ) << c.draw;
        EXPECT_EQ(d.acceleration[0], static_cast<float>(c.dirX * 0.1)) << c.draw;
        EXPECT_EQ(d.acceleration[2], static_cast<float>(c.dirZ * 0.1)) << c.draw;
        EXPECT_EQ(d.position[0], static_cast<float>(c.dirX + 0.2)) << c.draw;
        EXPECT_EQ(d.position[2], static_cast<float>(c.dirZ)) << c.draw;
    }
}

TEST_F(Droplets, ABurstTakesFourDrawsPerDropletInOrder)
{
    // Direction (1, 0), then k1 = 0, k2 = 1, k3 = 2: each lands in its own field.
    throwOne(29000, 0, 1, 2);
    const Droplet &d = droplets[0];
    EXPECT_EQ(d.active, 1);
    EXPECT_EQ(d.fadeFactor, 1.05f);
    EXPECT_EQ(d.velocity[0], 0.0f);
    EXPECT_EQ(d.velocity[1], 6.0f);
    EXPECT_EQ(d.position[0], static_cast<float>(1 + 0.2));
    EXPECT_EQ(d.position[1], 0.99f);
    EXPECT_EQ(d.position[2], 0.0f);
    EXPECT_EQ(d.acceleration[1], -0.99f);

    resetSceneState();
    dropletCount = 66;
    std::uint32_t before = randomState;
    createSplash(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(drawsSince(before), 4 * 66);
    EXPECT_EQ(droplets[65].active, 1);
    EXPECT_EQ(droplets[66].active, 0);
    // Each update draws once per live droplet, for its size.
    before = randomState;
    updateDroplets();
    EXPECT_EQ(drawsSince(before), 66);
    EXPECT_EQ(drawnHeights.size(), 66u);
}

TEST_F(Droplets, EveryDropletFollowsTheSameHeightPath)
{
    throwOne(8000, 2, 2, 2);
    const double expected[] = {0.99, 2.19, 3.192, 3.996, 4.602, 5.01, 5.22, 5.232,
                               5.046, 4.662, 4.08, 3.3, 2.322, 1.146, -0.228};
    for (int n = 0; n < 20; ++n)
        updateDroplets();
    // Drawn before each move: the 15 drawings show the heights before updates 1 to 15.
    ASSERT_EQ(drawnHeights.size(), 15u);
    for (size_t n = 0; n < drawnHeights.size(); ++n)
        EXPECT_NEAR(drawnHeights[n], expected[n], 0.0005) << "update " << n + 1;
    EXPECT_EQ(droplets[0].active, 0);
    EXPECT_NEAR(droplets[0].position[1], -1.8, 0.05);
    EXPECT_GT(droplets[0].fadeFactor, 1.0f);
}

TEST_F(Droplets, EachDrawingIsAColouredSphereOfADrawnSize)
{
    dropletDrawer = drawDropletSphere;
    dropletCount = 3;
    createSplash(0.0f, 0.0f, 1.0f);
    std::uint32_t replica = randomState;
    resetGlRecorder();
    updateDroplets();
    updateDroplets();
    const std::string one = "glColor3f glPushMatrix glTranslatef glutSolidSphere glPopMatrix";
    EXPECT_EQ(callNames(), one + " " + one + " " + one + " " + one + " " + one + " " + one);
    const auto spheres = callsNamed("glutSolidSphere");
    for (const GlCall &sphere : spheres) {
        replica = replica * MULTIPLIER + INCREMENT;
        EXPECT_EQ(sphere.args, (std::vector<double>{radiusFor(drawOf(replica)), 10, 10}));
    }
    // The colour before this update's fade, at the position before its move.
    const auto colours = callsNamed("glColor3f");
    EXPECT_EQ(colours[0].args, (std::vector<double>{0.55f, 0.65f, 0.85f}));
    EXPECT_EQ(colours[3].args, (std::vector<double>{static_cast<float>(0.55f * 1.05f),
                                                    static_cast<float>(0.65f * 1.05f),
                                                    static_cast<float>(0.85f * 1.05f)}));
    EXPECT_EQ(callsNamed("glTranslatef")[0].args[1], 0.99f);
}

TEST_F(Droplets, ReEntryStampsOnceWhereTheDropletFalls)
{
    struct Case { int direction, k1, k2, row, col; };
    const Case cases[] = {
        {0, 2, 2, 75, 58},      // (1, 0) with k1 = k2 = 2 reaches x = 5.91
        {15000, 0, 0, 55, 58},  // (-1, 0) with k1 = k2 = 0 reaches x = -0.71
        {30000, 0, 1, 58, 55},  // (0, -1): x stays at 0.2, z reaches -0.91
    };
    for (const Case &c : cases) {
        resetSceneState();
        for (auto &row : waveDisplacement)
            for (float &value : row)
                value = 7.0f;
        throwOne(c.direction, c.k1, c.k2, 0);
        for (int n = 0; n < 14; ++n)
            updateDroplets();
        EXPECT_EQ(waveDisplacement[c.row][c.col], 7.0f) << "no stamp before the 15th update";
        updateDroplets();
        int changed = 0;
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j) {
                const bool inPatch = std::abs(i - c.row) <= 1 && std::abs(j - c.col) <= 1;
                const float expected = !inPatch ? 7.0f : (i == c.row && j == c.col) ? -3.0f : 0.0f;
                changed += waveDisplacement[i][j] != 7.0f;
                EXPECT_EQ(waveDisplacement[i][j], expected) << c.row << ", " << c.col << " at " << i << ", " << j;
            }
        EXPECT_EQ(changed, 9);
        EXPECT_EQ(droplets[0].active, 0);
    }
}

TEST_F(Droplets, StampsStayInsideTheGrid)
{
    // Just under the water, off each edge: x and z of +-19.5 map to rows 116
    // and 0, +-25 further still, -19 to row 1.
    const float places[][2] = {{-19.5f, 19.5f}, {19.5f, -19.5f}, {-25.0f, 25.0f}, {25.0f, -25.0f}, {-19.0f, 0.0f}};
    const int expected[][2] = {{2, 115}, {115, 2}, {2, 115}, {115, 2}, {2, 58}};
    for (int n = 0; n < 5; ++n) {
        resetSceneState();
        dropletCount = 1;
        createSplash(0.0f, 0.0f, 1.0f);
        droplets[0].position[0] = places[n][0];
        droplets[0].position[1] = -0.2f;
        droplets[0].position[2] = places[n][1];
        updateDroplets();
        EXPECT_EQ(waveDisplacement[expected[n][0]][expected[n][1]], -3.0f) << n;
    }
}

TEST_F(Droplets, DeathsAndFrozenDropletsBeyondTheCount)
{
    // A fade factor below zero ends a droplet high in the air.
    dropletCount = 1;
    createSplash(0.0f, 0.0f, 1.0f);
    droplets[0].fadeFactor = 0.0003f;
    updateDroplets();
    EXPECT_EQ(droplets[0].active, 0);
    EXPECT_GT(droplets[0].position[1], 1.0f);
    const std::uint32_t before = randomState;
    updateDroplets();
    EXPECT_EQ(drawnHeights.size(), 1u);
    EXPECT_EQ(randomState, before);

    // Droplets past a shrunken count keep their state until a larger count.
    resetSceneState();
    dropletCount = 66;
    createSplash(0.0f, 0.0f, 1.0f);
    const float frozen = droplets[40].position[1];
    dropletCount = 33;
    updateDroplets();
    EXPECT_EQ(droplets[40].position[1], frozen);
    EXPECT_NE(droplets[32].position[1], frozen);
    dropletCount = 66;
    updateDroplets();
    EXPECT_GT(droplets[40].position[1], frozen);

    // A count beyond the array visits only the array.
    dropletCount = 250;
    const std::uint32_t start = randomState;
    createSplash(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(drawsSince(start), 4 * MAX_DROPLETS);
}
