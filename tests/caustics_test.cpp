#include <gtest/gtest.h>

#include <cmath>

#include "caustics/caustics.h"
#include "core/geometry.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

namespace {

class Caustics : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
    }
};

// The caustic point of vertex 0 of the first-half triangle whose vertex 0 is (i, j).
std::pair<float, float> causticOfVertex(int i, int j)
{
    const WaterTriangle &t = waterTriangles[i * GRID_CELLS + j];
    return {t.causticX[0], t.causticZ[0]};
}

}  // namespace

TEST(Geometry, TriangleArea)
{
    EXPECT_EQ(triangleArea({0, 0, 0}, {2, 0, 0}, {0, 0, 3}), 3.0f);
    EXPECT_EQ(triangleArea({1, 1, 1}, {1, 5, 1}, {1, 1, 4}), 6.0f);
    EXPECT_EQ(triangleArea({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), 0.0f);  // collinear
}

TEST(Geometry, UnitNormalOfAGridCellPointsUp)
{
    const Point3 n = triangleUnitNormal({0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 1.0f);
    EXPECT_EQ(n.z, 0.0f);
    const Point3 tilted = triangleUnitNormal({0, 0, 0}, {1, 1, 0}, {0, 0, 1});
    EXPECT_EQ(tilted.x, -0.70710677f);
    EXPECT_EQ(tilted.y, 0.70710677f);
}

TEST(Geometry, SegmentPlaneParameter)
{
    const Point3 a{-2, 20, 2}, b{2, 20, 2}, c{-2, 24, 2};
    EXPECT_FLOAT_EQ(segmentPlaneParameter(a, b, c, {0, 0, 5}, {0, 0, -5}), -0.3f);
    // D on the plane: no travel; E on the plane: one full step back towards E.
    EXPECT_EQ(segmentPlaneParameter(a, b, c, {1, 3, 2}, {0, 0, -5}), 0.0f);
    EXPECT_EQ(segmentPlaneParameter(a, b, c, {0, 0, 5}, {4, 7, 2}), -1.0f);
    // A line parallel to the plane has no parameter.
    EXPECT_FALSE(std::isfinite(segmentPlaneParameter(a, b, c, {0, 0, 5}, {3, 1, 5})));
}

TEST_F(Caustics, FlatWaterPoints)
{
    computeCaustics();
    auto [x58, z58] = causticOfVertex(58, 58);
    EXPECT_NEAR(x58, -0.8002, 1e-4);
    EXPECT_NEAR(z58, -0.8002, 1e-4);
    auto [x0, z0] = causticOfVertex(0, 0);
    EXPECT_NEAR(x0, -32.080, 1e-3);
    EXPECT_NEAR(z0, -32.080, 1e-3);
    auto [x87, z87] = causticOfVertex(87, 29);
    EXPECT_NEAR(x87, 14.812, 1e-3);
    EXPECT_NEAR(z87, -16.413, 1e-3);
    EXPECT_EQ(waterTriangles[0].lightDot, 10.0f);
}

TEST_F(Caustics, FlatWaterScalesTheGridAboutTheLight)
{
    lightX = 3.0f;
    lightY = 12.0f;
    lightZ = -4.0f;
    seabedZ = -20.0f;
    computeCaustics();
    for (int n = 0; n < triangleCount; n += 97) {
        const WaterTriangle &t = waterTriangles[n];
        for (int k = 0; k < 3; ++k) {
            const double x = gridCoord(t.vertexRow[k]), z = gridCoord(t.vertexCol[k]);
            // Refraction at almost equal indices barely bends the ray.
            EXPECT_NEAR(t.causticX[k], (x - 3.0) * 20.0 / 12.0, 0.02 * std::fabs(x - 3.0) + 1e-3) << n;
            EXPECT_NEAR(t.causticZ[k], (z + 4.0) * 20.0 / 12.0, 0.02 * std::fabs(z + 4.0) + 1e-3) << n;
        }
    }
}

TEST_F(Caustics, VertexStraightBelowTheLightMapsToTheOrigin)
{
    // Vertex (58, 58) lies at (-0.5000008, 0, -0.5000008): put the light above it.
    lightX = gridCoord(58);
    lightZ = gridCoord(58);
    computeCaustics();
    auto [x, z] = causticOfVertex(58, 58);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(z, 0.0f);
}

TEST_F(Caustics, AreaRatioOfCalmWaterIsJustUnderTheThreshold)
{
    computeFrameValues();
    for (int n : {0, 5000, 13455, 13456, 20000, 26911}) {
        const WaterTriangle &t = waterTriangles[n];
        EXPECT_NEAR(t.areaRatio, 0.390, 0.01) << n;
        EXPECT_NEAR(t.shade, 0.85, 1e-6) << n;
        EXPECT_GT(t.causticArea, 0.0f);
    }
}

TEST_F(Caustics, NormalsFollowTheHeightsOfTheFrame)
{
    waterHeight[1][0] = 1.0f;
    computeCaustics();
    EXPECT_EQ(waterTriangles[0].normal[0], -0.70710677f);
    // The light at (0, 10, 0): lightDot is the normal's y times 10.
    EXPECT_FLOAT_EQ(waterTriangles[0].lightDot, 7.0710677f);
}
