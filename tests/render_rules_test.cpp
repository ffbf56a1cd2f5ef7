// The drawing decisions that need no GL: caustic brightness and placement,
// the box's shadow and the light it catches, and the box's cases and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/state.h"
#include "caustics/caustics.h"
#include "render/caustic_rules.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"
#include "water/mesh.h"

namespace {

class RenderRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
    }
    void TearDown() override { resetSceneState(); }
};

int countPlaced(CausticPlace wanted)
{
    const CausticFrame frame = beginCausticFrame();
    int n = 0;
    for (int t = 0; t < triangleCount; ++t) {
        float v;
        Point3 side[3];
        n += placeCaustic(waterTriangles[t], frame, &v, side) == wanted;
    }
    return n;
}

// A triangle facing straight up at the light above the origin, with its
// caustic image near the middle of the floor and the given area ratio.
WaterTriangle litTriangle(float areaRatio)
{
    WaterTriangle t = waterTriangles[58 * GRID_CELLS + 58];
    t.normal[0] = 0.0f;
    t.normal[1] = 1.0f;
    t.normal[2] = 0.0f;
    t.areaRatio = areaRatio;
    t.shade = 0.85f;
    const float x[3] = {1.0f, 1.5f, 1.0f}, z[3] = {1.0f, 1.0f, 1.5f};
    for (int k = 0; k < 3; ++k) {
        t.causticX[k] = x[k];
        t.causticZ[k] = z[k];
    }
    return t;
}

CausticPlace place(const WaterTriangle &t)
{
    float v;
    Point3 side[3];
    return placeCaustic(t, beginCausticFrame(), &v, side);
}

}  // namespace

TEST_F(RenderRules, ShadowShrinksAsTheBoxSinks)
{
    boxBottom = 20.0f;
    EXPECT_FLOAT_EQ(shadowHalfSize(), 45.254834f);  // 8 x 2^2.5
    boxBottom = 0.0f;
    EXPECT_EQ(shadowHalfSize(), 8.0f);
    boxBottom = -8.0f;
    EXPECT_EQ(shadowHalfSize(), 4.0f);
    boxBottom = -16.0f;
    EXPECT_EQ(shadowHalfSize(), 2.0f);
    seabedZ = -32.0f;  // the same depth is shallower against a deeper seabed
    EXPECT_FLOAT_EQ(shadowHalfSize(), 4.0f);
}

TEST_F(RenderRules, BrightnessIsFacingTimesAreaRatioHalved)
{
    CausticFrame frame = beginCausticFrame();
    EXPECT_EQ(frame.lightUnit.y, 1.0f);
    WaterTriangle t = litTriangle(0.5f);
    EXPECT_EQ(causticBrightness(t, frame.lightUnit), 0.25f);

    lightX = 7.5f;  // light 3-4-5 off the vertical: a level surface faces it at 0.8
    frame = beginCausticFrame();
    EXPECT_FLOAT_EQ(frame.lightUnit.x, 0.6f);
    EXPECT_FLOAT_EQ(causticBrightness(t, frame.lightUnit), 0.2f);
}

TEST_F(RenderRules, ThresholdDrawsTwoTenthsAndNothingBelow)
{
    EXPECT_EQ(place(litTriangle(0.4f)), CAUSTIC_SEABED);  // brightness exactly 0.2
    EXPECT_EQ(place(litTriangle(std::nextafter(0.4f, 0.0f))), CAUSTIC_HIDDEN);
}

TEST_F(RenderRules, CalmWaterIsTooDimEverywhere)
{
    computeFrameValues();
    const Point3 light = beginCausticFrame().lightUnit;
    float brightest = 0.0f;
    for (int t = 0; t < triangleCount; ++t)
        brightest = std::fmax(brightest, causticBrightness(waterTriangles[t], light));
    // Just under the threshold: the image of a level triangle is about 2.56
    // times its size.
    EXPECT_LT(brightest, 0.2f);
    EXPECT_GT(brightest, 0.19f);
    EXPECT_EQ(countPlaced(CAUSTIC_HIDDEN), triangleCount);
}

TEST_F(RenderRules, PoolFloorRangeIsInclusiveAndRejectsNonFinite)
{
    EXPECT_TRUE(onPoolFloor(19.0f));
    EXPECT_TRUE(onPoolFloor(-20.0f));
    EXPECT_TRUE(onPoolFloor(0.0f));
    EXPECT_FALSE(onPoolFloor(19.0001f));
    EXPECT_FALSE(onPoolFloor(-20.0001f));
    EXPECT_FALSE(onPoolFloor(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(onPoolFloor(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(onPoolFloor(-std::numeric_limits<float>::infinity()));

    // Any one of the six coordinates off the floor drops the whole triangle.
    for (int k = 0; k < 3; ++k) {
        WaterTriangle t = litTriangle(1.0f);
        t.causticX[k] = 19.0f;
        t.causticZ[k] = -20.0f;
        EXPECT_EQ(place(t), CAUSTIC_SEABED) << "vertex " << k;
        t.causticX[k] = 19.0001f;
        EXPECT_EQ(place(t), CAUSTIC_HIDDEN) << "vertex " << k;
        t.causticX[k] = 0.0f;
        t.causticZ[k] = std::numeric_limits<float>::quiet_NaN();
        EXPECT_EQ(place(t), CAUSTIC_HIDDEN) << "vertex " << k;
    }
}

TEST_F(RenderRules, BoxAboveTheWaterShadowsEveryTriangleAtItsStartPosition)
{
    computeFrameValues();
    for (int t = 0; t < triangleCount; ++t)
        waterTriangles[t].areaRatio = 1.0f;  // bright everywhere
    ASSERT_GT(countPlaced(CAUSTIC_SEABED), 5000) << "without the box much of the floor is lit";

    showBox = 1;
    EXPECT_EQ(countPlaced(CAUSTIC_HIDDEN), triangleCount);

    // Lifted higher the square grows; once the box sinks to the surface
    // (half-width 8) the floor outside it lights up again.
    boxBottom = 0.0f;
    boxTop = 4.0f;
    EXPECT_GT(countPlaced(CAUSTIC_SEABED), 5000);
    WaterTriangle inside = litTriangle(1.0f);
    EXPECT_EQ(place(inside), CAUSTIC_HIDDEN);
    showBox = 0;
    EXPECT_EQ(place(inside), CAUSTIC_SEABED);
}

// Where the ray from the caustic point c up through the surface vertex w
// meets the box's side planes, by plain plane arithmetic: the last face, in
// the order z = 2, x = 2, z = -2, x = -2, crossed within the water wins.
static Point3 expectedSideHit(Point3 w, Point3 c)
{
    struct Face { int axis; double at; };  // axis 0: x, 2: z
    const Face faces[4] = {{2, 2.0}, {0, 2.0}, {2, -2.0}, {0, -2.0}};
    double s = -1000.0;
    for (const Face &f : faces) {
        const double wa = f.axis == 0 ? w.x : w.z, ca = f.axis == 0 ? c.x : c.z;
        const double hit = (f.at - wa) / (wa - ca);
        const double y = w.y + hit * (static_cast<double>(w.y) - c.y);
        if (y < 0.0 && y > seabedZ)
            s = hit;
    }
    return Point3{static_cast<float>(w.x + s * (static_cast<double>(w.x) - c.x)),
                  static_cast<float>(w.y + s * (static_cast<double>(w.y) - c.y)),
                  static_cast<float>(w.z + s * (static_cast<double>(w.z) - c.z))};
}

TEST_F(RenderRules, SubmergedBoxCatchesTheRaysOnItsSidesAndTop)
{
    showBox = 1;
    boxBottom = -12.0f;
    boxTop = -1.0f;
    for (int i = 1; i < GRID - 1; ++i)  // a rolling swell
        for (int j = 1; j < GRID - 1; ++j)
            waterHeight[i][j] = static_cast<float>(0.3 * std::sin(i * 0.7) * std::cos(j * 0.5));
    computeFrameValues();
    const CausticFrame frame = beginCausticFrame();

    int sideOnly = 0, sideAndTop = 0, onSeabedInShadow = 0;
    for (int n = 0; n < triangleCount; ++n) {
        const WaterTriangle &t = waterTriangles[n];
        float v;
        Point3 side[3];
        const CausticPlace p = placeCaustic(t, frame, &v, side);
        if (p == CAUSTIC_SEABED && reachesShadow(t, frame.shadowHalf))
            ++onSeabedInShadow;
        if (p != CAUSTIC_BOX_SIDE && p != CAUSTIC_BOX_SIDE_AND_TOP)
            continue;
        sideOnly += p == CAUSTIC_BOX_SIDE;
        sideAndTop += p == CAUSTIC_BOX_SIDE_AND_TOP;
        bool withinFootprint = true;
        for (int k = 0; k < 3; ++k) {
            const int row = t.vertexRow[k], col = t.vertexCol[k];
            const Point3 w{gridCoord(row), waterHeight[row][col], gridCoord(col)};
            const Point3 expected = expectedSideHit(w, Point3{t.causticX[k], seabedZ, t.causticZ[k]});
            EXPECT_NEAR(side[k].x, expected.x, 1e-3) << "triangle " << n << " vertex " << k;
            EXPECT_NEAR(side[k].y, expected.y, 1e-3) << "triangle " << n << " vertex " << k;
            EXPECT_NEAR(side[k].z, expected.z, 1e-3) << "triangle " << n << " vertex " << k;
            EXPECT_TRUE(side[k].y >= boxBottom && side[k].y <= boxTop);
            EXPECT_TRUE(std::fabs(side[k].x) <= 2.0f && std::fabs(side[k].z) <= 2.0f);
            withinFootprint = withinFootprint && std::fabs(t.causticX[k]) < 2.0f && std::fabs(t.causticZ[k]) < 2.0f;
        }
        EXPECT_EQ(p == CAUSTIC_BOX_SIDE_AND_TOP, withinFootprint) << "triangle " << n;
    }
    EXPECT_GT(sideOnly, 0);
    EXPECT_GT(sideAndTop, 0);
    EXPECT_EQ(onSeabedInShadow, 0);

    // However dim: the box treatment has no threshold.
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].areaRatio = 0.0f;
    EXPECT_EQ(countPlaced(CAUSTIC_BOX_SIDE), sideOnly);
    EXPECT_EQ(countPlaced(CAUSTIC_BOX_SIDE_AND_TOP), sideAndTop);

    // Until its top is under the surface the box only shadows.
    boxTop = 0.0f;
    EXPECT_EQ(countPlaced(CAUSTIC_BOX_SIDE) + countPlaced(CAUSTIC_BOX_SIDE_AND_TOP), 0);
}

TEST_F(RenderRules, RaysThatMissTheBoxVanish)
{
    showBox = 1;
    boxBottom = -6.0f;
    boxTop = -2.0f;
    WaterTriangle t = litTriangle(1.0f);  // caustic points inside the shadow square
    Point3 side[3];
    // Straight down over the box's middle: the rays cross no side face in
    // the water, so every vertex keeps the sentinel and lands far away.
    for (int k = 0; k < 3; ++k) {
        t.vertexRow[k] = 60;
        t.vertexCol[k] = 60;
    }
    EXPECT_EQ(causticOnBoxSides(t, beginCausticFrame(), side), 0);
    EXPECT_LT(side[0].y, -1000.0f);
    EXPECT_EQ(place(t), CAUSTIC_HIDDEN);

    // A NaN caustic point makes every face parameter NaN: hidden as well.
    t.causticZ[1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(causticOnBoxSides(t, beginCausticFrame(), side), 0);
    EXPECT_EQ(causticOnBoxTop(t), 0);
}

TEST_F(RenderRules, BoxCasesAreTestedAboveThenSubmergedThenCrossing)
{
    EXPECT_EQ(boxCase(), BOX_ABOVE_WATER);
    boxBottom = 0.0f;
    boxTop = 4.0f;
    EXPECT_EQ(boxCase(), BOX_CROSSING);
    boxBottom = -3.6f;
    boxTop = 0.4f;
    EXPECT_EQ(boxCase(), BOX_SUBMERGED);  // although its top is out of the water
    boxBottom = -3.5f;
    boxTop = 0.5f;
    EXPECT_EQ(boxCase(), BOX_CROSSING);
}

TEST_F(RenderRules, BoxPiecesHeightsAndPlainColours)
{
    BoxPiece p[2];
    ASSERT_EQ(boxPieces(p), 1);
    EXPECT_EQ(p[0].lower, 20.0f);
    EXPECT_EQ(p[0].upper, 24.0f);
    EXPECT_EQ(p[0].color[0], 1.0f);
    EXPECT_EQ(p[0].color[1], 0.0f);
    EXPECT_EQ(p[0].color[3], 1.0f);
    EXPECT_EQ(p[0].seeThrough, 0);

    boxColor[0] = 0.0f;
    boxColor[2] = 1.0f;
    boxBottom = -3.5f;
    boxTop = 0.5f;
    viewLevelOffset = 16.0f;
    ASSERT_EQ(boxPieces(p), 2);
    EXPECT_EQ(p[0].lower, 16.0f);  // the water level, raised with the view
    EXPECT_EQ(p[0].upper, 16.5f);
    EXPECT_EQ(p[0].color[2], 1.0f);
    EXPECT_EQ(p[0].seeThrough, 1);
    EXPECT_EQ(p[1].lower, 12.5f);
    EXPECT_EQ(p[1].upper, 16.0f);
    EXPECT_EQ(p[1].color[0], 0.0f);
    EXPECT_EQ(p[1].color[2], 0.75f);
    EXPECT_EQ(p[1].seeThrough, 0);

    boxBottom = -3.6f;
    boxTop = 0.4f;
    ASSERT_EQ(boxPieces(p), 1);
    EXPECT_EQ(p[0].color[2], 0.75f);
    EXPECT_EQ(p[0].lower, static_cast<float>(-3.6f + 16.0));
}

TEST_F(RenderRules, TexturedBoxIsWhiteAndDimsUnderWater)
{
    const int expected[5][2] = {{-3, NO_BOX_TEXTURE}, {0, NO_BOX_TEXTURE}, {3, NO_BOX_TEXTURE}, {6, 12}, {9, 13}};
    for (const auto &e : expected) {
        envIndex = e[0];
        EXPECT_EQ(boxTextureIndex(), e[1]) << "scenery set " << e[0];
    }

    envIndex = 6;
    boxColor[0] = 0.0f;  // the type's colour does not tint a textured box
    boxColor[1] = 1.0f;
    boxBottom = -2.0f;
    boxTop = 2.0f;
    BoxPiece p[2];
    ASSERT_EQ(boxPieces(p), 2);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(p[0].color[c], 1.0f);
        EXPECT_EQ(p[1].color[c], 0.75f);
    }
}

TEST_F(RenderRules, TextureNamesOutsideTheTableDrawPlain)
{
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        textureIds[i] = 100 + i;
    EXPECT_EQ(textureNameAt(0), 100u);
    EXPECT_EQ(textureNameAt(13), 113u);
    EXPECT_EQ(textureNameAt(-2), 0u);
    EXPECT_EQ(textureNameAt(14), 0u);
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        textureIds[i] = 0;
}
