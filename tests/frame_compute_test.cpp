// The frame computation against the plain formulas of frame_reference.h: every
// stored value must be the same bits, over calm, rippled, rough and extreme
// surfaces, whichever vector unit the processor lends the kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "caustics/caustics.h"
#include "core/state.h"
#include "tests/frame_reference.h"
#include "tests/scene_reset.h"
#include "water/mesh.h"

namespace {

// Equal bit for bit, except that any NaN equals any other: which operand's NaN
// survives an operation is the compiler's choice.
bool sameFloat(float a, float b)
{
    if (std::isnan(a) && std::isnan(b))
        return true;
    std::uint32_t ua, ub;
    std::memcpy(&ua, &a, sizeof ua);
    std::memcpy(&ub, &b, sizeof ub);
    return ua == ub;
}

bool sameFrameFields(const WaterTriangle &a, const WaterTriangle &b)
{
    bool same = sameFloat(a.causticArea, b.causticArea) && sameFloat(a.areaRatio, b.areaRatio) &&
                sameFloat(a.lightDot, b.lightDot) && sameFloat(a.shade, b.shade);
    for (int k = 0; k < 3; ++k)
        same = same && sameFloat(a.normal[k], b.normal[k]) && sameFloat(a.causticX[k], b.causticX[k]) &&
               sameFloat(a.causticZ[k], b.causticZ[k]);
    return same;
}

// Overwrites the per-frame fields with a value no computation yields, so that
// a field the computation forgets to store shows.
void poisonFrameFields()
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.causticArea = t.areaRatio = t.lightDot = t.shade = -12345.0f;
        for (int k = 0; k < 3; ++k)
            t.normal[k] = t.causticX[k] = t.causticZ[k] = -12345.0f;
    }
}

// Requires both computeCaustics and computeFrameValues to store exactly the
// reference's records for the current surface and light; returns how many
// triangles have an infinite or NaN value, so a case can show it reached them.
int expectReferenceRecords(const std::string &surface)
{
    SCOPED_TRACE(surface);
    std::vector<WaterTriangle> expected(waterTriangles, waterTriangles + triangleCount);
    reference::frameValues(expected.data());
    int nonFinite = 0;
    for (const WaterTriangle &t : expected) {
        bool finite = std::isfinite(t.causticArea) && std::isfinite(t.areaRatio);
        for (int k = 0; k < 3; ++k)
            finite = finite && std::isfinite(t.causticX[k]) && std::isfinite(t.causticZ[k]);
        nonFinite += !finite;
    }
    for (void (*compute)() : {computeCaustics, computeFrameValues}) {
        poisonFrameFields();
        compute();
        for (int n = 0; n < triangleCount; ++n)
            if (!sameFrameFields(waterTriangles[n], expected[n])) {
                ADD_FAILURE() << (compute == computeCaustics ? "computeCaustics" : "computeFrameValues")
                              << ", triangle " << n;
                break;
            }
    }
    return nonFinite;
}

void setLight(float x, float y, float z)
{
    lightX = x;
    lightY = y;
    lightZ = z;
}

class FrameCompute : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
    }
    void TearDown() override { resetSceneState(); }
};

}  // namespace

TEST_F(FrameCompute, CalmRippledAndRoughWater)
{
    const float lights[][3] = {{0.0f, 10.0f, 0.0f}, {-12.0f, 5.0f, 12.0f}, {3.5f, 7.25f, -0.5f}};
    for (const auto &light : lights)
        for (float seabed : {-16.0f, -60.0f}) {
            setLight(light[0], light[1], light[2]);
            seabedZ = seabed;
            expectReferenceRecords("calm, light (" + std::to_string(light[0]) + ", " + std::to_string(light[1]) +
                                   ", " + std::to_string(light[2]) + "), seabed " + std::to_string(seabed));
        }

    resetSceneState();
    rippleWater();
    expectReferenceRecords("rippled");
    setLight(12.0f, 5.0f, 12.0f);
    seabedZ = -23.0f;
    expectReferenceRecords("rippled, low light in a corner, seabed lowered");

    resetSceneState();
    roughWater(12345u);
    expectReferenceRecords("rough");
    // The steepest surface the clamps allow: every other vertex up, the rest down.
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j)
            waterHeight[i][j] = (i + j) % 2 ? 0.5f : -0.5f;
    expectReferenceRecords("checkerboard");
}

TEST_F(FrameCompute, LightsThatSendCausticPointsToInfinityOrNaN)
{
    // Level with the water the refracted rays run flat: T.y is 0 or nearly
    // so, and the caustic points are infinite, NaN or enormous.
    setLight(1000.0f, 0.0f, 0.0f);
    EXPECT_GT(expectReferenceRecords("light level with calm water"), 0);
    rippleWater();
    EXPECT_GT(expectReferenceRecords("light level with rippled water"), 0);

    // The light on a vertex of calm water: the direction to it is 0 / 0.
    resetWaterGrids();
    setLight(gridCoord(40), 0.0f, gridCoord(70));
    EXPECT_GT(expectReferenceRecords("light on a vertex"), 0);

    rippleWater();
    setLight(2.0f, -3.0f, 1.0f);
    expectReferenceRecords("light under rippled water");
    setLight(2.0f, 1e20f, 1.0f);
    expectReferenceRecords("light very far above rippled water");
}

TEST_F(FrameCompute, NothingToComputeBeforeTheMeshIsBuilt)
{
    rippleWater();
    computeFrameValues();
    ASSERT_GT(causticVertexCount, 0);
    const int built = triangleCount;
    triangleCount = 0;
    waterTriangles[0].shade = -1.0f;
    computeCaustics();
    computeFrameValues();
    triangleCount = built;
    EXPECT_EQ(waterTriangles[0].shade, -1.0f);
    EXPECT_EQ(causticVertexCount, 0) << "a stale caustic batch would be drawn again";
}
