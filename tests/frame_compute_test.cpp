// The frame computation against the plain formulas of frame_reference.h, over
// calm, rippled and extreme surfaces, for every vector unit and several thread
// counts; and the life of its thread pool.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "app/state.h"
#include "caustics/caustics.h"
#include "caustics/frame_kernel.h"
#include "caustics/workers.h"
#include "tests/frame_reference.h"
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

// What the drawing of the caustics decides from a triangle's values: its
// brightness v = (Lhat . normal) x areaRatio / 2, each step rounded to float,
// against 0.2, and whether all six caustic coordinates lie on the floor,
// -20 .. 19 (NaN lies outside).
struct SeabedDecision {
    float brightness;
    bool bright;
    bool onFloor;
};

SeabedDecision seabedDecision(const WaterTriangle &t)
{
    const float len = static_cast<float>(std::sqrt(static_cast<double>(lightX) * lightX +
                                                   static_cast<double>(lightY) * lightY +
                                                   static_cast<double>(lightZ) * lightZ));
    const float lx = static_cast<float>(lightX / static_cast<double>(len));
    const float ly = static_cast<float>(lightY / static_cast<double>(len));
    const float lz = static_cast<float>(lightZ / static_cast<double>(len));
    const float dot = static_cast<float>(static_cast<double>(lx) * t.normal[0] + static_cast<double>(ly) * t.normal[1] +
                                         static_cast<double>(lz) * t.normal[2]);
    const float v = static_cast<float>(static_cast<float>(static_cast<double>(dot) * t.areaRatio) / 2.0);
    bool onFloor = true;
    for (int k = 0; k < 3; ++k)
        for (float c : {t.causticX[k], t.causticZ[k]})
            onFloor = onFloor && c >= -20.0f && c <= 19.0f;
    return {v, !(v < 0.2f), onFloor};
}

// The most a caustic coordinate may differ from the double formulas, as the
// computation bounds it when it decides which triangles to redo in double.
double coordinateBound(const reference::Refracted &r)
{
    return UNIT_ROUNDOFF * (COORD_ERROR + COORD_ERROR_GRAZING / r.rootQ) *
           (std::fabs(seabedZ) + std::fabs(r.x) + std::fabs(r.z)) / std::fabs(r.rayY);
}

// Overwrites the per-frame fields so that a field the computation forgets shows.
void poisonFrameFields(float value)
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.causticArea = t.areaRatio = t.lightDot = t.shade = value;
        for (int k = 0; k < 3; ++k)
            t.normal[k] = t.causticX[k] = t.causticZ[k] = value;
    }
}

std::vector<WaterTriangle> referenceValues()
{
    std::vector<WaterTriangle> expected(waterTriangles, waterTriangles + triangleCount);
    reference::frameValues(expected.data());
    return expected;
}

// What a surface produced, so a test can show that it reached its case.
struct SurfaceSummary {
    int drawnOnSeabed = 0;  // triangles the reference draws on the seabed
    int nonFinite = 0;      // triangles with an infinite or NaN caustic coordinate or area
    int redone = 0;         // triangles the computation did in double
};

std::string describe(const WaterTriangle &t)
{
    const SeabedDecision d = seabedDecision(t);
    std::ostringstream out;
    out << "v " << d.brightness << (d.onFloor ? " on" : " off") << " the floor; normal (" << t.normal[0] << ", "
        << t.normal[1] << ", " << t.normal[2] << ") lightDot " << t.lightDot << " shade " << t.shade << " points";
    for (int k = 0; k < 3; ++k)
        out << " (" << t.causticX[k] << ", " << t.causticZ[k] << ")";
    out << " area " << t.causticArea << " ratio " << t.areaRatio;
    return out.str();
}

// Computes the current surface and requires the drawing decisions of the
// reference, every one; values within float precision of it, caustic
// coordinates within the bound the computation relies on, and triangles with
// non-finite values exactly as the reference (those are always done in double).
SurfaceSummary expectSameDecisionsAsReference(const std::string &surface)
{
    SCOPED_TRACE(surface);
    const std::vector<WaterTriangle> expected = referenceValues();
    poisonFrameFields(-12345.0f);
    computeFrameValues();

    SurfaceSummary summary;
    summary.redone = frameTrianglesRedone;
    const float tolerance = 8 * UNIT_ROUNDOFF;
    const float lightSize = std::fabs(lightX) + std::fabs(lightY) + std::fabs(lightZ);
    int failures = 0;
    for (int n = 0; n < triangleCount && failures < 5; ++n) {
        const WaterTriangle &got = waterTriangles[n], &want = expected[n];
        const SeabedDecision a = seabedDecision(got), b = seabedDecision(want);
        summary.drawnOnSeabed += b.bright && b.onFloor;
        bool ok = a.bright == b.bright && a.onFloor == b.onFloor;

        bool finite = std::isfinite(want.causticArea);
        for (int k = 0; k < 3; ++k)
            finite = finite && std::isfinite(want.causticX[k]) && std::isfinite(want.causticZ[k]);
        summary.nonFinite += !finite;
        if (!finite) {
            ok = ok && sameFrameFields(got, want);
        } else {
            ok = ok && std::fabs(got.lightDot - want.lightDot) <= tolerance * lightSize &&
                 std::fabs(got.shade - want.shade) <= tolerance * lightSize;
            for (int k = 0; k < 3; ++k) {
                const WaterTriangle &src = waterTriangles[n];
                const double bound = coordinateBound(
                    reference::refract(want.normal, reference::vertexAt(src.vertexRow[k], src.vertexCol[k])));
                ok = ok && std::fabs(got.normal[k] - want.normal[k]) <= tolerance &&
                     std::fabs(got.causticX[k] - want.causticX[k]) <= bound &&
                     std::fabs(got.causticZ[k] - want.causticZ[k]) <= bound;
            }
        }
        if (!ok) {
            ADD_FAILURE() << "triangle " << n << ": " << describe(got) << "\n  reference: " << describe(want);
            ++failures;
        }
    }
    return summary;
}

// Heights from a fixed linear congruential sequence, uniform in -0.5 .. 0.5 on
// the interior; the border stays at rest.
void roughWater(unsigned seed)
{
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j) {
            seed = seed * 1103515245u + 12345u;
            waterHeight[i][j] = static_cast<float>((seed >> 8) % 1000001u) / 1000000.0f - 0.5f;
        }
}

// The float f in [low, high] at which increasing(f) first reaches target,
// found by halving; increasing must not decrease as f grows.
template <class Fn>
float solveFor(float target, float low, float high, Fn increasing)
{
    for (int step = 0; step < 200 && std::nextafter(low, high) < high; ++step) {
        const float mid = low + (high - low) / 2;
        if (increasing(mid) < target)
            low = mid;
        else
            high = mid;
    }
    return high;
}

const float UP[3] = {0.0f, 1.0f, 0.0f};  // the normal of calm water

class FrameCompute : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        frameThreadCount = 0;
        frameVectorUnit = 3;
        frameDoubleOnly = 0;
    }
    void TearDown() override
    {
        frameThreadCount = 0;
        frameVectorUnit = 3;
        frameDoubleOnly = 0;
    }
};

}  // namespace

TEST_F(FrameCompute, CalmWaterUnderLightsAndSeabedsWithinTheKeyLimits)
{
    const float lights[][3] = {{0.0f, 10.0f, 0.0f}, {-12.0f, 5.0f, 12.0f}, {12.0f, 40.0f, -12.0f}, {3.5f, 7.25f, -0.5f}};
    int drawn = 0;
    for (const auto &light : lights)
        for (float seabed : {-16.0f, -10.0f, -60.0f}) {
            lightX = light[0];
            lightY = light[1];
            lightZ = light[2];
            seabedZ = seabed;
            drawn += expectSameDecisionsAsReference("calm, light (" + std::to_string(light[0]) + ", " +
                                                    std::to_string(light[1]) + ", " + std::to_string(light[2]) +
                                                    "), seabed " + std::to_string(seabed))
                         .drawnOnSeabed;
        }
    EXPECT_GT(drawn, 0);  // a high light over a shallow seabed lights calm water up
}

TEST_F(FrameCompute, RippledAndRoughWater)
{
    rippleWater();
    const SurfaceSummary rippled = expectSameDecisionsAsReference("rippled");
    // The surface must focus light somewhere, or it would not test the bright path.
    EXPECT_GT(rippled.drawnOnSeabed, 1000);
    // Almost everything stays in float; more would cost the speed.
    EXPECT_LT(rippled.redone, triangleCount / 50);

    lightX = 7.0f;
    lightY = 6.0f;
    lightZ = -3.0f;
    seabedZ = -23.0f;
    expectSameDecisionsAsReference("rippled, light moved and seabed lowered");
    lightX = 12.0f;
    lightY = 5.0f;
    lightZ = 12.0f;
    seabedZ = -16.0f;
    EXPECT_GT(expectSameDecisionsAsReference("rippled, low light in a corner").redone, 0);

    resetSceneState();
    roughWater(12345u);
    EXPECT_GT(expectSameDecisionsAsReference("rough").drawnOnSeabed, 1000);

    // The steepest surface the clamps allow: every other vertex up, the rest down.
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j)
            waterHeight[i][j] = (i + j) % 2 ? 0.5f : -0.5f;
    expectSameDecisionsAsReference("checkerboard");

    // Plateaus of a large, clamped disturbance with cliffs between them.
    resetWaterGrids();
    for (int i = 20; i < 60; ++i)
        for (int j = 30; j < 90; ++j)
            waterHeight[i][j] = j < 60 ? 0.5f : -0.5f;
    expectSameDecisionsAsReference("plateaus");
}

TEST_F(FrameCompute, LightsThatSendCausticPointsToInfinityOrNaN)
{
    // Level with calm water the refracted rays run almost flat: T.y is 0 or
    // nearly so, and the caustic points are infinite, NaN or enormous.
    lightX = 1000.0f;
    lightY = 0.0f;
    EXPECT_GT(expectSameDecisionsAsReference("light level with calm water").nonFinite, 0);

    rippleWater();
    EXPECT_GT(expectSameDecisionsAsReference("light level with rippled water").nonFinite, 0);

    // The light on a vertex of calm water: the direction to it is 0 / 0.
    resetWaterGrids();
    lightX = gridCoord(40);
    lightY = 0.0f;
    lightZ = gridCoord(70);
    EXPECT_GT(expectSameDecisionsAsReference("light on a vertex").nonFinite, 0);

    // Below the water and very far above it.
    rippleWater();
    lightX = 2.0f;
    lightY = -3.0f;
    lightZ = 1.0f;
    expectSameDecisionsAsReference("light under rippled water");
    lightY = 1e20f;
    expectSameDecisionsAsReference("light very far above rippled water");
}

TEST_F(FrameCompute, CausticPointsOnTheFloorsEdgesAndBrightnessOnTheThreshold)
{
    // Calm water maps grid vertex (40, 70) to a caustic point that moves
    // steadily with the light. Move the light until the double formulas put
    // that point exactly on an edge of the floor, where a float result a unit
    // in the last place off would change the floor test of every triangle
    // around the vertex.
    const reference::Vec vertex = reference::vertexAt(40, 70);
    lightX = solveFor(-19.0f, -100.0f, 100.0f, [&](float x) {
        lightX = x;
        return -reference::refract(UP, vertex).x;
    });
    ASSERT_LE(std::fabs(reference::refract(UP, vertex).x - 19.0f), 1e-5f);
    EXPECT_GT(expectSameDecisionsAsReference("a caustic point on x = 19").redone, 0);

    lightX = 0.0f;
    lightZ = solveFor(20.0f, -100.0f, 100.0f, [&](float z) {
        lightZ = z;
        return -reference::refract(UP, vertex).z;
    });
    ASSERT_LE(std::fabs(reference::refract(UP, vertex).z + 20.0f), 1e-5f);
    EXPECT_GT(expectSameDecisionsAsReference("a caustic point on z = -20").redone, 0);

    // Over calm water every triangle's brightness is nearly the same and
    // grows as the seabed rises: put the middle triangle's exactly on 0.2, so
    // that thousands lie within float error of the threshold.
    lightZ = 0.0f;
    const WaterTriangle &middle = waterTriangles[58 * GRID_CELLS + 58];
    auto middleBrightness = [&] {
        WaterTriangle t = middle;
        reference::triangleValues(middle, t);
        return seabedDecision(t).brightness;
    };
    seabedZ = solveFor(0.2f, -40.0f, -5.0f, [&](float depth) {
        seabedZ = depth;
        return middleBrightness();
    });
    ASSERT_LE(std::fabs(middleBrightness() - 0.2f), 1e-6f);
    EXPECT_GT(expectSameDecisionsAsReference("calm water on the brightness threshold").redone, 1000);
}

TEST_F(FrameCompute, DoubleOnlyIsTheReferenceBitForBit)
{
    frameDoubleOnly = 1;
    auto check = [](const std::string &surface) {
        SCOPED_TRACE(surface);
        const std::vector<WaterTriangle> expected = referenceValues();
        poisonFrameFields(-12345.0f);
        computeFrameValues();
        for (int n = 0; n < triangleCount; ++n)
            ASSERT_TRUE(sameFrameFields(waterTriangles[n], expected[n])) << "triangle " << n;
    };
    check("calm");
    rippleWater();
    check("rippled");
    lightX = -12.0f;
    lightY = 5.0f;
    lightZ = 12.0f;
    check("rippled, low light in a corner");
    lightY = 0.0f;
    check("light level with the water");
}

TEST_F(FrameCompute, SameResultsWhateverTheVectorUnitOrThreadCount)
{
    auto check = [](const std::string &surface) {
        SCOPED_TRACE(surface);
        for (int doubleOnly : {0, 1}) {
            frameDoubleOnly = doubleOnly;
            frameVectorUnit = 0;
            frameThreadCount = 1;
            computeFrameValues();
            const std::vector<WaterTriangle> oneLaneOneThread(waterTriangles, waterTriangles + triangleCount);
            for (int unit = 0; unit <= 3; ++unit)
                for (int threads : {1, 2, 3, MAX_FRAME_THREADS}) {
                    frameVectorUnit = unit;
                    frameThreadCount = threads;
                    poisonFrameFields(-12345.0f);
                    computeFrameValues();
                    ASSERT_EQ(std::memcmp(waterTriangles, oneLaneOneThread.data(), triangleCount * sizeof(WaterTriangle)),
                              0)
                        << "vector unit " << unit << ", " << threads << " threads, double only " << doubleOnly;
                }
        }
    };
    rippleWater();
    check("rippled");
    lightX = 12.0f;
    lightY = 5.0f;
    lightZ = 12.0f;
    check("rippled, low light in a corner");
}

TEST_F(FrameCompute, SeparateStepsGiveTheFusedResults)
{
    rippleWater();
    lightX = -4.0f;
    computeFrameValues();
    const std::vector<WaterTriangle> fused(waterTriangles, waterTriangles + triangleCount);

    // computeCaustics writes the same caustic values and leaves shade and
    // areaRatio alone.
    poisonFrameFields(-12345.0f);
    computeCaustics();
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle t = waterTriangles[n];
        ASSERT_EQ(t.shade, -12345.0f) << n;
        ASSERT_EQ(t.areaRatio, -12345.0f) << n;
        t.shade = fused[n].shade;
        t.areaRatio = fused[n].areaRatio;
        ASSERT_TRUE(sameFrameFields(t, fused[n])) << n;
    }

    // In double, the plain second step and the mesh module's normals give
    // exactly the fused values.
    frameDoubleOnly = 1;
    computeFrameValues();
    const std::vector<WaterTriangle> fusedDouble(waterTriangles, waterTriangles + triangleCount);
    poisonFrameFields(-12345.0f);
    computeCaustics();
    computeShadeAndAreaRatio();
    EXPECT_EQ(std::memcmp(waterTriangles, fusedDouble.data(), triangleCount * sizeof(WaterTriangle)), 0);
    computeTriangleNormals();
    EXPECT_EQ(std::memcmp(waterTriangles, fusedDouble.data(), triangleCount * sizeof(WaterTriangle)), 0);
}

TEST_F(FrameCompute, NothingToComputeBeforeTheMeshIsBuilt)
{
    const int built = triangleCount;
    triangleCount = 0;
    waterTriangles[0].shade = -1.0f;
    computeFrameValues();
    triangleCount = built;
    EXPECT_EQ(waterTriangles[0].shade, -1.0f);
}

// The pool's life is per process, so these run in a fresh child process each.
TEST(FrameWorkers, StartOnlyForAFrameAndStopCleanlyAtExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            resetSceneState();
            buildWaterMeshData();
            computeTriangleNormals();
            computeShadeAndAreaRatio();
            if (frameWorkersStarted != 0)
                std::_Exit(2);
            frameThreadCount = 3;
            computeFrameValues();
            computeFrameValues();
            if (frameWorkersStarted != 2)
                std::_Exit(3);
            // exit runs the pool's shutdown: it must join its sleeping
            // threads rather than hang or abort.
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            resetSceneState();
            buildWaterMeshData();
            frameThreadCount = 1;
            computeFrameValues();
            std::exit(frameWorkersStarted == 0 ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "");
}
