#include <gtest/gtest.h>

#include "core/state.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

namespace {

class Mesh : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
    }
};

void expectVertices(int t, std::initializer_list<std::pair<int, int>> vertices)
{
    int k = 0;
    for (auto [row, col] : vertices) {
        EXPECT_EQ(waterTriangles[t].vertexRow[k], row) << "triangle " << t << " vertex " << k;
        EXPECT_EQ(waterTriangles[t].vertexCol[k], col) << "triangle " << t << " vertex " << k;
        ++k;
    }
}

}  // namespace

TEST_F(Mesh, GridGeometry)
{
    EXPECT_EQ(CELL_SIZE, 0.33620688f);
    EXPECT_EQ(CELL_SIZE, static_cast<float>(39.0 / 116.0));
    EXPECT_EQ(gridCoord(0), -20.0f);
    EXPECT_EQ(gridCoord(58), -0.5000008f);
    EXPECT_EQ(gridCoord(59), -0.16379389f);
    EXPECT_EQ(gridCoord(116), 18.999998f);
}

TEST_F(Mesh, TriangleOrderAndCornerTriangles)
{
    EXPECT_EQ(triangleCount, 26912);
    expectVertices(0, {{0, 0}, {1, 0}, {0, 1}});
    expectVertices(13455, {{115, 115}, {116, 115}, {115, 116}});
    expectVertices(13456, {{0, 1}, {1, 0}, {1, 1}});
    expectVertices(26911, {{115, 116}, {116, 115}, {116, 116}});
    // Triangle numbers follow the cell: i x 116 + j in each half.
    expectVertices(7 * 116 + 30, {{7, 30}, {8, 30}, {7, 31}});
    expectVertices(13456 + 7 * 116 + 30, {{7, 31}, {8, 30}, {8, 31}});
}

TEST_F(Mesh, StartValuesOfCausticPointsAreTheGridIndices)
{
    const WaterTriangle &t = waterTriangles[13456 + 3 * 116 + 4];
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(t.causticX[k], static_cast<float>(t.vertexRow[k]));
        EXPECT_EQ(t.causticZ[k], static_cast<float>(t.vertexCol[k]));
    }
}

TEST_F(Mesh, FlatWaterNormalsPointStraightUp)
{
    for (int n = 0; n < triangleCount; ++n) {
        ASSERT_EQ(waterTriangles[n].normal[0], 0.0f) << n;
        ASSERT_EQ(waterTriangles[n].normal[1], 1.0f) << n;
        ASSERT_EQ(waterTriangles[n].normal[2], 0.0f) << n;
    }
}

TEST_F(Mesh, TiltCountsOneUnitPerCell)
{
    // Vertex 1 of triangle 0 is (1, 0): raising it by 1.0 tilts the triangle 45 degrees.
    waterHeight[1][0] = 1.0f;
    computeTriangleNormals();
    EXPECT_EQ(waterTriangles[0].normal[0], -0.70710677f);
    EXPECT_EQ(waterTriangles[0].normal[1], 0.70710677f);
    EXPECT_EQ(waterTriangles[0].normal[2], 0.0f);
}

TEST_F(Mesh, NormalsStayUnitAndUpwardOnRoughWater)
{
    unsigned seed = 7;
    for (auto &row : waterHeight)
        for (float &h : row) {
            seed = seed * 1103515245u + 12345u;
            h = static_cast<float>(static_cast<int>(seed >> 16) % 1001 - 500) / 1000.0f;
        }
    computeTriangleNormals();
    for (int n = 0; n < triangleCount; ++n) {
        const float *v = waterTriangles[n].normal;
        ASSERT_GT(v[1], 0.0f) << n;
        ASSERT_NEAR(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2], 1.0, 1e-6) << n;
    }
}

TEST_F(Mesh, BuildZeroesTheGridsAndKeepsOneAllocation)
{
    WaterTriangle *first = waterTriangles;
    waveDisplacement[5][5] = 3.0f;
    waveVelocity[6][6] = 2.0f;
    waterHeight[7][7] = 0.25f;
    ASSERT_EQ(buildWaterMeshData(), 1);
    EXPECT_EQ(waterTriangles, first);
    EXPECT_EQ(waveDisplacement[5][5], 0.0f);
    EXPECT_EQ(waveVelocity[6][6], 0.0f);
    EXPECT_EQ(waterHeight[7][7], 0.0f);
}

TEST_F(Mesh, StampAssignsCentreAndEdges)
{
    waveDisplacement[10][10] = 7.0f;
    waveDisplacement[12][12] = 9.0f;
    stampDisplacement(11, 11, -40.0f, -5.0f);
    EXPECT_EQ(waveDisplacement[11][11], -40.0f);
    for (int i = 10; i <= 12; ++i)
        for (int j = 10; j <= 12; ++j)
            if (i != 11 || j != 11) {
                EXPECT_EQ(waveDisplacement[i][j], -5.0f);
            }
    EXPECT_EQ(waveDisplacement[9][11], 0.0f);
    EXPECT_EQ(waveDisplacement[13][11], 0.0f);
}
