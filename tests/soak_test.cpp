// Long runs of the simulation without a display: the same kinds of commands
// as the soak of the real program (hard rain, splashes, the box dropped, reset
// and retyped, seabed and light pushed past their limits, scenery and pause
// switched), and random drags and clicks of the camera, for thousands of
// steps. Whatever the input, the water must stay bounded and its border at
// rest, and the camera must never take a value that is not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "app/camera.h"
#include "app/keys.h"
#include "caustics/caustics.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "tests/view_matrices.h"
#include "water/droplets.h"
#include "water/mesh.h"
#include "water/simulation.h"
#include "water/waves.h"

namespace {

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        frameDrawer = nullptr;
        dropletDrawer = nullptr;
        placeEye();
    }
    void TearDown() override { resetSceneState(); }
};

// Every value of the three grids finite, heights within +-0.5, velocities
// within +-5, and the border of all three exactly 0; the first fault found,
// or "" when there is none.
std::string gridFault()
{
    const float(*grids[3])[GRID] = {waterHeight, waveDisplacement, waveVelocity};
    const char *names[3] = {"height", "displacement", "velocity"};
    const float limits[3] = {MAX_WATER_HEIGHT, INFINITY, MAX_WAVE_SPEED};
    for (int g = 0; g < 3; ++g)
        for (int i = 0; i < GRID; ++i)
            for (int j = 0; j < GRID; ++j) {
                const float x = grids[g][i][j];
                const bool border = i == 0 || j == 0 || i == GRID - 1 || j == GRID - 1;
                if (!std::isfinite(x) || std::fabs(x) > limits[g] || (border && x != 0.0f))
                    return std::string(names[g]) + "[" + std::to_string(i) + "][" + std::to_string(j) +
                           "] = " + std::to_string(x);
            }
    return "";
}

bool dropletsFinite()
{
    for (const Droplet &d : droplets)
        for (int k = 0; k < 3; ++k)
            if (!std::isfinite(d.position[k]) || !std::isfinite(d.velocity[k]) || !std::isfinite(d.color[k]))
                return false;
    return true;
}

bool cameraSound()
{
    const float values[6] = {eyeX, eyeY, eyeZ, camPhi, camTheta, camRadius};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return camTheta > 0.0f && camTheta < 3.14f && camRadius >= 0.1f;
}

// The keys of one soak round, as the soak of the real program types them.
const char *const ROUNDS[8] = {
    "sbvmss",
    "snvs-------",
    "s============",
    "s4444444444444499999999999999222222222222",
    "s66666666666666666666666666111111111111111111111111118888888",
    "setfcwpspfc",
    "slhmvmnnws",
    "shhbettpps",
};

}  // namespace

TEST_F(Soak, WaterStaysBoundedThroughThousandsOfStepsOfCommands)
{
    constexpr int STEPS = 3000;
    constexpr int STEPS_PER_ROUND = 15;  // the real soak types a round every few dozen frames
    std::mt19937 extra(8);                // stray keys between rounds, any code at all
    testing::internal::CaptureStdout();
    applyKey('h');
    int round = 0, impacts = 0, minSeabedSeen = 0;
    for (int step = 1; step <= STEPS; ++step) {
        if (step % STEPS_PER_ROUND == 0) {
            for (const char *k = ROUNDS[round % 8]; *k != '\0'; ++k)
                applyKey(static_cast<unsigned char>(*k));
            unsigned char stray = static_cast<unsigned char>(extra() % 256);
            if (stray != KEY_ESCAPE && stray != 'q' && stray != 'Q')
                applyKey(stray);
            ++round;
        }
        const int before = stepCounter;
        const bool wasPaused = paused != 0;
        simulationStep();
        if (boxBottom == 0.5f)
            ++impacts;
        if (seabedZ < minSeabedSeen)
            minSeabedSeen = static_cast<int>(seabedZ);
        // The frame a wave step draws moves the droplets; its caustic
        // computation only reads the water, so a sample of the frames is
        // enough to run it over all kinds of surface (and keeps the run short
        // under the sanitizers).
        if (!wasPaused) {
            ASSERT_EQ(stepCounter, before + 1);
            if (step % 20 == 0)
                computeFrameValues();
            updateDroplets();
        }
        if (step % 500 == 0) {
            ASSERT_EQ(gridFault(), "") << "after step " << step;
            ASSERT_TRUE(dropletsFinite()) << "after step " << step;
        }
    }
    const std::string output = testing::internal::GetCapturedStdout();

    computeFrameValues();
    EXPECT_EQ(gridFault(), "");
    EXPECT_TRUE(dropletsFinite());
    for (int t = 0; t < triangleCount; ++t)
        ASSERT_TRUE(std::isfinite(waterTriangles[t].shade) && std::isfinite(waterTriangles[t].normal[1])) << t;
    // The run did what it set out to do: rain and splashes moved the water,
    // the box hit it, the limits were met and refused.
    EXPECT_GT(impacts, 0);
    EXPECT_NE(output.find("KABLoOOYE\n"), std::string::npos);
    EXPECT_NE(output.find("Seabed is at maximum height, -10.000000\n"), std::string::npos);
    EXPECT_NE(output.find("The light cannot be translated along +x any further.\n"), std::string::npos);
    EXPECT_NE(output.find("The light cannot be translated along -y any further.\n"), std::string::npos);
    EXPECT_LT(minSeabedSeen, -16);
    EXPECT_GT(stepCounter, STEPS / 2);
    float largest = 0.0f;
    for (const auto &row : waterHeight)
        for (float h : row)
            largest = std::fmax(largest, std::fabs(h));
    EXPECT_GT(largest, 0.01f);
}

TEST_F(Soak, RandomDragsAndClicksKeepTheCameraFinite)
{
    std::mt19937 gen(4);
    std::uniform_int_distribution<int> coordinate(-3000, 3000);  // pointers far outside the window too
    std::uniform_int_distribution<int> pick(0, 7);
    double projection[16], modelview[16];
    for (int event = 0; event < 8000; ++event) {
        // Every button combination: left, right, both (left wins), none (only the pointer moves).
        const int buttons = pick(gen) % 4;
        leftButtonDown = buttons & 1;
        rightButtonDown = (buttons >> 1) & 1;
        mouseX = coordinate(gen);
        mouseY = coordinate(gen);
        // A long burst of steps in one direction drives the radius up and the angles onto their stops.
        const int steps = pick(gen) == 0 ? 200 : 1;
        for (int s = 0; s < steps; ++s)
            dragCamera(coordinate(gen), coordinate(gen));
        ASSERT_TRUE(cameraSound()) << "after event " << event;

        // Now and then a middle click through the view of a window of any
        // size, including a height of 0 and a width of 1.
        if (pick(gen) == 0 && pick(gen) < 2) {
            const int width = pick(gen) == 0 ? 1 : 1 + coordinate(gen) % 800 + 800;
            const int height = pick(gen) < 2 ? 0 : 1 + (coordinate(gen) + 3000) % 600;
            const int viewport[4] = {0, 0, width, height};
            perspectiveMatrix(FIELD_OF_VIEW, perspectiveAspect(width, height), NEAR_PLANE, FAR_PLANE, projection);
            lookAtOriginMatrix(eyeX, eyeY, eyeZ, modelview);
            rippleAtPointer(viewport, projection, modelview, coordinate(gen), coordinate(gen));
        }
    }
    EXPECT_EQ(gridFault(), "");
    // The eye stays on its sphere, whatever the sequence of turns and zooms.
    EXPECT_NEAR(std::sqrt(eyeX * eyeX + eyeY * eyeY + eyeZ * eyeZ), camRadius, 1e-3 * camRadius);
}
