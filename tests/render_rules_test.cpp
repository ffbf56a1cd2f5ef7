// Drawing decisions made without GL: the edges of the rules that decide where
// a caustic goes, and the box's cases. The decisions over whole surfaces are
// held against rules written apart in render_caustics_test.cpp; these are the
// boundaries no surface lands on by chance.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "caustics/caustic_rules.h"
#include "core/state.h"
#include "scenery/scenery.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

TEST(RenderRules, BoxCasesInOrderAboveSubmergedCrossing)
{
    resetSceneState();
    const float cases[4][2] = {{20, 24}, {0, 4}, {-3.6f, 0.4f}, {-3.5f, 0.5f}};
    const BoxCase expected[4] = {BOX_ABOVE_WATER, BOX_CROSSING, BOX_SUBMERGED, BOX_CROSSING};
    for (int n = 0; n < 4; ++n) {
        boxBottom = cases[n][0];
        boxTop = cases[n][1];
        EXPECT_EQ(boxCase(), expected[n]) << "box from " << boxBottom << " to " << boxTop;
    }
}

TEST(RenderRules, ThresholdAndFloorEdgesAreInclusiveTheShadowSquareStrict)
{
    resetSceneState();
    ASSERT_EQ(buildWaterMeshData(), 1);
    // A box from y = 0 to 4 shadows the square strictly within +-8 and, still
    // reaching out of the water, hides what falls there, however bright.
    boxBottom = 0.0f;
    boxTop = 4.0f;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float dim = std::nextafter(0.2f, 0.0f);
    const struct {
        float x, z, brightness;
        int box;
        CausticPlace place;
    } cases[] = {
        {10, 10, 0.2f, 0, CAUSTIC_SEABED},
        {10, 10, dim, 0, CAUSTIC_HIDDEN},
        {19, -20, 1, 0, CAUSTIC_SEABED},
        {-20, 19, 1, 0, CAUSTIC_SEABED},
        {std::nextafter(19.0f, 20.0f), 10, 1, 0, CAUSTIC_HIDDEN},
        {10, std::nextafter(19.0f, 20.0f), 1, 0, CAUSTIC_HIDDEN},
        {std::nextafter(-20.0f, -21.0f), 10, 1, 0, CAUSTIC_HIDDEN},
        {10, std::nextafter(-20.0f, -21.0f), 1, 0, CAUSTIC_HIDDEN},
        {nan, 10, 1, 0, CAUSTIC_HIDDEN},
        {10, nan, 1, 0, CAUSTIC_HIDDEN},
        {-inf, 10, 1, 0, CAUSTIC_HIDDEN},
        {10, inf, 1, 0, CAUSTIC_HIDDEN},
        {8, 0, 1, 1, CAUSTIC_SEABED},
        {0, -8, 1, 1, CAUSTIC_SEABED},
        {std::nextafter(8.0f, 0.0f), 0, 1, 1, CAUSTIC_HIDDEN},
        {0, std::nextafter(-8.0f, 0.0f), 1, 1, CAUSTIC_HIDDEN},
        {0, 8.5f, 1, 1, CAUSTIC_SEABED},
        {-8.5f, 0, 1, 1, CAUSTIC_SEABED},
    };
    for (const auto &c : cases)
        for (int k = 0; k < 3; ++k) {
            WaterTriangle t = waterTriangles[0];
            for (int m = 0; m < 3; ++m) {  // the other two points on the floor, outside the shadow
                t.causticX[m] = 10.0f + (m == 1);
                t.causticZ[m] = 10.0f + (m == 2);
            }
            t.causticX[k] = c.x;
            t.causticZ[k] = c.z;
            showBox = c.box;
            Point3 side[3];
            EXPECT_EQ(placeCaustic(t, beginCausticFrame(), c.brightness, side), c.place)
                << "point (" << c.x << ", " << c.z << ") at vertex " << k << ", brightness " << c.brightness
                << (c.box ? ", box shown" : "");
        }
    resetSceneState();
}

TEST(RenderRules, BoxTopTakesOnlyPointsStrictlyWithinTheFootprint)
{
    const float inside = std::nextafter(2.0f, 0.0f);
    const struct {
        float x, z;
        int onTop;
    } cases[] = {{inside, 0, 1}, {0, -inside, 1}, {2, 0, 0}, {0, 2, 0}, {-2, 0, 0}, {0, -2, 0}};
    for (const auto &c : cases)
        for (int k = 0; k < 3; ++k) {
            WaterTriangle t{};
            t.causticX[k] = c.x;
            t.causticZ[k] = c.z;
            EXPECT_EQ(causticOnBoxTop(t), c.onTop) << "point (" << c.x << ", " << c.z << ") at vertex " << k;
        }
}
