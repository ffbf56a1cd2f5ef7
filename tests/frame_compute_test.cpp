// The fast frame computation against the plain formulas of frame_reference.h,
// over calm, rippled and extreme surfaces, for every vector unit and several
// thread counts; and the life of the thread pool.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/state.h"
#include "caustics/caustics.h"
#include "caustics/workers.h"
#include "tests/frame_reference.h"
#include "water/mesh.h"

namespace {

constexpr float BRIGHTNESS_THRESHOLD = 0.2f;  // a seabed triangle is drawn from this brightness up
constexpr float THRESHOLD_SLACK = 1e-5f;      // brightness this close to the threshold may fall either way

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

// The per-frame fields of a record, in one list for comparing.
std::vector<std::pair<const char *, float>> frameFields(const WaterTriangle &t)
{
    return {{"causticArea", t.causticArea}, {"areaRatio", t.areaRatio}, {"normal.x", t.normal[0]},
            {"normal.y", t.normal[1]},      {"normal.z", t.normal[2]},   {"lightDot", t.lightDot},
            {"shade", t.shade},             {"causticX0", t.causticX[0]}, {"causticX1", t.causticX[1]},
            {"causticX2", t.causticX[2]},   {"causticZ0", t.causticZ[0]}, {"causticZ1", t.causticZ[1]},
            {"causticZ2", t.causticZ[2]}};
}

// What the seabed drawing decides from a triangle's values: its brightness v =
// (Lhat . normal) x areaRatio / 2, each step rounded to float, and whether all
// six caustic coordinates lie within the floor, -20 .. 19 (NaN lies outside).
struct SeabedDecision {
    float brightness;
    bool insideFloor;
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
    bool inside = true;
    for (int k = 0; k < 3; ++k)
        for (float c : {t.causticX[k], t.causticZ[k]})
            inside = inside && c >= -20.0f && c <= 19.0f;
    return {v, inside};
}

// Overwrites the per-frame fields so that a field the fast path forgets shows.
void poisonFrameFields(float value)
{
    for (int n = 0; n < triangleCount; ++n) {
        WaterTriangle &t = waterTriangles[n];
        t.causticArea = t.areaRatio = t.lightDot = t.shade = value;
        for (int k = 0; k < 3; ++k)
            t.normal[k] = t.causticX[k] = t.causticZ[k] = value;
    }
}

// What a surface produced, so a test can show that it reached the case it is about.
struct SurfaceSummary {
    int drawnOnSeabed = 0;  // triangles that pass the brightness and the floor tests
    int nonFinite = 0;      // triangles with an infinite or NaN caustic coordinate or area
};

// Computes the current surface with the fast path and with the reference and
// requires the same drawing decisions and the same stored values.
SurfaceSummary expectFastPathMatchesReference(const std::string &surface)
{
    SCOPED_TRACE(surface);
    std::vector<WaterTriangle> expected(waterTriangles, waterTriangles + triangleCount);
    reference::frameValues(expected.data());
    poisonFrameFields(-12345.0f);
    computeFrameValues();

    SurfaceSummary summary;
    int failures = 0;
    for (int n = 0; n < triangleCount && failures < 5; ++n) {
        const WaterTriangle &fast = waterTriangles[n], &want = expected[n];
        const SeabedDecision a = seabedDecision(fast), b = seabedDecision(want);
        const bool nearThreshold = std::fabs(b.brightness - BRIGHTNESS_THRESHOLD) <= THRESHOLD_SLACK;
        if (!nearThreshold && (a.brightness >= BRIGHTNESS_THRESHOLD) != (b.brightness >= BRIGHTNESS_THRESHOLD)) {
            ADD_FAILURE() << "triangle " << n << ": brightness " << a.brightness << ", reference " << b.brightness;
            ++failures;
        }
        if (a.insideFloor != b.insideFloor) {
            ADD_FAILURE() << "triangle " << n << ": floor test " << a.insideFloor << ", reference " << b.insideFloor;
            ++failures;
        }
        const auto got = frameFields(fast), wanted = frameFields(want);
        for (std::size_t f = 0; f < got.size(); ++f)
            if (!sameFloat(got[f].second, wanted[f].second)) {
                ADD_FAILURE() << "triangle " << n << " " << got[f].first << ": " << got[f].second << ", reference "
                              << wanted[f].second;
                ++failures;
            }
        summary.drawnOnSeabed += b.brightness >= BRIGHTNESS_THRESHOLD && b.insideFloor;
        bool finite = std::isfinite(want.causticArea);
        for (int k = 0; k < 3; ++k)
            finite = finite && std::isfinite(want.causticX[k]) && std::isfinite(want.causticZ[k]);
        summary.nonFinite += !finite;
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

class FrameCompute : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        frameThreadCount = 0;
        frameVectorUnit = 3;
    }
    void TearDown() override
    {
        frameThreadCount = 0;
        frameVectorUnit = 3;
    }
};

}  // namespace

TEST_F(FrameCompute, CalmWaterUnderLightsAndSeabedsWithinTheKeyLimits)
{
    const float lights[][3] = {{0.0f, 10.0f, 0.0f}, {-12.0f, 5.0f, 12.0f}, {12.0f, 40.0f, -12.0f}, {3.5f, 7.25f, -0.5f}};
    for (const auto &light : lights)
        for (float seabed : {-16.0f, -10.0f, -60.0f}) {
            lightX = light[0];
            lightY = light[1];
            lightZ = light[2];
            seabedZ = seabed;
            expectFastPathMatchesReference("calm, light (" + std::to_string(light[0]) + ", " + std::to_string(light[1]) +
                                           ", " + std::to_string(light[2]) + "), seabed " + std::to_string(seabed));
        }
}

TEST_F(FrameCompute, RippledAndRoughWater)
{
    rippleWater();
    const SurfaceSummary rippled = expectFastPathMatchesReference("rippled");
    // The surface must focus light somewhere, or it would not test the bright path.
    EXPECT_GT(rippled.drawnOnSeabed, 1000);

    lightX = 7.0f;
    lightY = 6.0f;
    lightZ = -3.0f;
    seabedZ = -23.0f;
    expectFastPathMatchesReference("rippled, light moved and seabed lowered");

    resetSceneState();
    roughWater(12345u);
    const SurfaceSummary rough = expectFastPathMatchesReference("rough");
    EXPECT_GT(rough.drawnOnSeabed, 1000);

    // The steepest surface the clamps allow: every other vertex up, the rest down.
    for (int i = 1; i < GRID - 1; ++i)
        for (int j = 1; j < GRID - 1; ++j)
            waterHeight[i][j] = (i + j) % 2 ? 0.5f : -0.5f;
    expectFastPathMatchesReference("checkerboard");

    // Plateaus of a large, clamped disturbance with cliffs between them.
    resetWaterGrids();
    for (int i = 20; i < 60; ++i)
        for (int j = 30; j < 90; ++j)
            waterHeight[i][j] = j < 60 ? 0.5f : -0.5f;
    expectFastPathMatchesReference("plateaus");
}

TEST_F(FrameCompute, LightsThatSendCausticPointsToInfinityOrNaN)
{
    // Level with calm water the refracted rays run almost flat: T.y is 0 or
    // nearly so, and the caustic points are infinite, NaN or enormous.
    lightX = 1000.0f;
    lightY = 0.0f;
    SurfaceSummary s = expectFastPathMatchesReference("light level with calm water");
    EXPECT_GT(s.nonFinite, 0);

    rippleWater();
    s = expectFastPathMatchesReference("light level with rippled water");
    EXPECT_GT(s.nonFinite, 0);

    // The light on a vertex of calm water: the direction to it is 0 / 0.
    resetWaterGrids();
    lightX = gridCoord(40);
    lightY = 0.0f;
    lightZ = gridCoord(70);
    s = expectFastPathMatchesReference("light on a vertex");
    EXPECT_GT(s.nonFinite, 0);

    // Below the water and very far above it.
    rippleWater();
    lightX = 2.0f;
    lightY = -3.0f;
    lightZ = 1.0f;
    expectFastPathMatchesReference("light under rippled water");
    lightY = 1e20f;
    expectFastPathMatchesReference("light very far above rippled water");
}

TEST_F(FrameCompute, SameResultsWhateverTheVectorUnitOrThreadCount)
{
    auto check = [](const std::string &surface) {
        SCOPED_TRACE(surface);
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
                ASSERT_EQ(std::memcmp(waterTriangles, oneLaneOneThread.data(), triangleCount * sizeof(WaterTriangle)), 0)
                    << "vector unit " << unit << ", " << threads << " threads";
            }
    };
    rippleWater();
    check("rippled");
    lightY = 0.0f;
    check("light level with the water");
}

TEST_F(FrameCompute, SeparateStepsGiveTheFusedResults)
{
    rippleWater();
    lightX = -4.0f;
    computeFrameValues();
    const std::vector<WaterTriangle> fused(waterTriangles, waterTriangles + triangleCount);

    // computeCaustics leaves shade and areaRatio alone; the plain second step
    // then completes the same records.
    poisonFrameFields(-12345.0f);
    computeCaustics();
    EXPECT_EQ(waterTriangles[777].shade, -12345.0f);
    EXPECT_EQ(waterTriangles[20000].areaRatio, -12345.0f);
    computeShadeAndAreaRatio();
    EXPECT_EQ(std::memcmp(waterTriangles, fused.data(), triangleCount * sizeof(WaterTriangle)), 0);

    // The mesh module's own normals agree with the fused ones.
    computeTriangleNormals();
    EXPECT_EQ(std::memcmp(waterTriangles, fused.data(), triangleCount * sizeof(WaterTriangle)), 0);
}

TEST_F(FrameCompute, NothingToComputeBeforeTheMeshIsBuilt)
{
    const int built = triangleCount;
    triangleCount = 0;
    poisonFrameFields(-12345.0f);  // touches nothing: no triangles
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
