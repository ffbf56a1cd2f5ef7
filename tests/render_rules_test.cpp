// Drawing decisions made without GL: the box's shadow, the light a sunken
// box catches, and the box's cases.
#include <gtest/gtest.h>

#include <cmath>

#include "app/state.h"
#include "caustics/caustics.h"
#include "render/caustic_rules.h"
#include "scenery/scenery.h"
#include "water/mesh.h"

TEST(RenderRules, ShadowShrinksAsTheBoxSinks)
{
    resetSceneState();
    const float bottoms[4] = {20, 0, -8, -16}, halves[4] = {45.254834f, 8, 4, 2};
    for (int n = 0; n < 4; ++n) {
        boxBottom = bottoms[n];
        EXPECT_FLOAT_EQ(shadowHalfSize(), halves[n]) << "box bottom " << bottoms[n];
    }
}

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

// Where the ray from caustic point c up through surface vertex w meets the
// box's side planes, by plain plane arithmetic: the last face, in the order
// z = 2, x = 2, z = -2, x = -2, crossed within the water wins.
static Point3 expectedSideHit(Point3 w, Point3 c)
{
    const int axis[4] = {2, 0, 2, 0};  // 0: x, 2: z
    const double at[4] = {2, 2, -2, -2};
    double s = -1000.0;
    for (int f = 0; f < 4; ++f) {
        const double wa = axis[f] == 0 ? w.x : w.z, ca = axis[f] == 0 ? c.x : c.z;
        const double hit = (at[f] - wa) / (wa - ca);
        const double y = w.y + hit * (static_cast<double>(w.y) - c.y);
        if (y < 0.0 && y > seabedZ)
            s = hit;
    }
    return Point3{static_cast<float>(w.x + s * (static_cast<double>(w.x) - c.x)),
                  static_cast<float>(w.y + s * (static_cast<double>(w.y) - c.y)),
                  static_cast<float>(w.z + s * (static_cast<double>(w.z) - c.z))};
}

TEST(RenderRules, SubmergedBoxCatchesRaysOnItsSidesAndTop)
{
    resetSceneState();
    ASSERT_EQ(buildWaterMeshData(), 1);
    showBox = 1;
    boxBottom = -12.0f;
    boxTop = -1.0f;
    for (int i = 1; i < GRID - 1; ++i)  // a rolling swell
        for (int j = 1; j < GRID - 1; ++j)
            waterHeight[i][j] = static_cast<float>(0.3 * std::sin(i * 0.7) * std::cos(j * 0.5));
    computeFrameValues();
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].areaRatio = 0.0f;  // no threshold applies on the box
    const CausticFrame frame = beginCausticFrame();

    int counts[4] = {0, 0, 0, 0};
    for (int n = 0; n < triangleCount; ++n) {
        const WaterTriangle &t = waterTriangles[n];
        float v;
        Point3 side[3];
        const CausticPlace p = placeCaustic(t, frame, &v, side);
        ++counts[p];
        if (p != CAUSTIC_BOX_SIDE && p != CAUSTIC_BOX_SIDE_AND_TOP)
            continue;
        bool withinFootprint = true;
        for (int k = 0; k < 3; ++k) {
            const int row = t.vertexRow[k], col = t.vertexCol[k];
            const Point3 w{gridCoord(row), waterHeight[row][col], gridCoord(col)};
            const Point3 e = expectedSideHit(w, Point3{t.causticX[k], seabedZ, t.causticZ[k]});
            EXPECT_NEAR(side[k].x, e.x, 1e-3);
            EXPECT_NEAR(side[k].y, e.y, 1e-3);
            EXPECT_NEAR(side[k].z, e.z, 1e-3);
            EXPECT_TRUE(side[k].y >= boxBottom && side[k].y <= boxTop && std::fabs(side[k].x) <= 2.0f &&
                        std::fabs(side[k].z) <= 2.0f);
            withinFootprint = withinFootprint && std::fabs(t.causticX[k]) < 2.0f && std::fabs(t.causticZ[k]) < 2.0f;
        }
        EXPECT_EQ(p == CAUSTIC_BOX_SIDE_AND_TOP, withinFootprint) << "triangle " << n;
    }
    EXPECT_GT(counts[CAUSTIC_BOX_SIDE], 0);
    EXPECT_GT(counts[CAUSTIC_BOX_SIDE_AND_TOP], 0);

    // Until its top is under the surface the box only shadows.
    boxTop = 0.0f;
    const CausticFrame crossing = beginCausticFrame();
    for (int n = 0; n < triangleCount; ++n) {
        float v;
        Point3 side[3];
        ASSERT_EQ(placeCaustic(waterTriangles[n], crossing, &v, side), CAUSTIC_HIDDEN);
    }
    resetSceneState();
}
