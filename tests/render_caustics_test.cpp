// The caustic drawing through the recording GL: one batch, the colour and
// vertices of what is drawn, and what the threshold, the floor's edges and
// the box leave out.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app/state.h"
#include "caustics/caustics.h"
#include "render/caustics_draw.h"
#include "tests/gl_recorder.h"
#include "water/mesh.h"

namespace {

using Args = std::vector<double>;
constexpr int LIT = 58 * GRID_CELLS + 58;  // the one triangle lit by hand; its normal is (0, 1, 0)

class RenderCaustics : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        computeFrameValues();
    }
    void TearDown() override { resetSceneState(); }

    // Darkens every triangle but LIT, whose brightness becomes areaRatio / 2
    // under the light straight above, then draws and returns the vertex count.
    static int drawnVertices(float areaRatio)
    {
        for (int n = 0; n < triangleCount; ++n)
            waterTriangles[n].areaRatio = 0.0f;
        waterTriangles[LIT].areaRatio = areaRatio;
        resetGlRecorder();
        drawCaustics();
        return countCalls("glVertex3f");
    }
};

}  // namespace

TEST_F(RenderCaustics, OneBatchWithColourThenSeabedVertices)
{
    WaterTriangle &t = waterTriangles[LIT];
    t.shade = 0.8f;
    viewLevelOffset = 16.0f;
    ASSERT_EQ(drawnVertices(1.2f), 3);
    ASSERT_EQ(callNames(), "glBegin glColor4f glVertex3f glVertex3f glVertex3f glEnd");
    EXPECT_EQ(glCalls[0].args[0], GL_TRIANGLES);
    const double sv = 0.8f * 0.6f;  // shade x brightness
    EXPECT_EQ(glCalls[1].args, (Args{static_cast<float>(0.75 * sv), static_cast<float>(0.85 * sv),
                                     static_cast<float>(sv), 0.75f}));
    for (int k = 0; k < 3; ++k)  // the seabed at -16, raised by the view level
        EXPECT_EQ(glCalls[2 + k].args, (Args{t.causticX[k], 0.0, t.causticZ[k]}));
}

TEST_F(RenderCaustics, ThresholdAndFloorEdgesAreInclusiveNonFiniteIsDropped)
{
    EXPECT_EQ(drawnVertices(0.4f), 3) << "brightness exactly 0.2";
    EXPECT_EQ(drawnVertices(std::nextafter(0.4f, 0.0f)), 0);

    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct { float at; int drawn; } edges[] = {{19.0f, 1}, {-20.0f, 1}, {19.0001f, 0}, {-20.0001f, 0}, {nan, 0}, {inf, 0}};
    WaterTriangle &t = waterTriangles[LIT];
    for (const auto &e : edges)
        for (int k = 0; k < 3; ++k) {
            const float x = t.causticX[k], z = t.causticZ[k];
            t.causticX[k] = e.at;
            EXPECT_EQ(drawnVertices(1.0f), 3 * e.drawn) << "x " << e.at << " at vertex " << k;
            t.causticX[k] = x;
            t.causticZ[k] = e.at;
            EXPECT_EQ(drawnVertices(1.0f), 3 * e.drawn) << "z " << e.at << " at vertex " << k;
            t.causticZ[k] = z;
        }
}

TEST_F(RenderCaustics, BoxAtItsStartPositionShadowsEverything)
{
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].areaRatio = 1.0f;  // bright everywhere
    resetGlRecorder();
    drawCaustics();
    ASSERT_GT(countCalls("glVertex3f"), 3 * 5000) << "much of the floor lit without the box";

    showBox = 1;
    resetGlRecorder();
    drawCaustics();
    EXPECT_EQ(callNames(), "glBegin glEnd");
}

TEST_F(RenderCaustics, SubmergedBoxSideThenTopTriangles)
{
    // Light at x = 12: rays through the surface near x = 12 reach the seabed
    // under the box, crossing its face x = 2 between -15 and -11.
    lightX = 12.0f;
    showBox = 1;
    boxBottom = -15.0f;
    boxTop = -11.0f;
    viewLevelOffset = 16.0f;
    computeFrameValues();
    resetGlRecorder();
    drawCaustics();
    const auto top = callsNamed("glColor3f");
    ASSERT_GT(top.size(), 0u);
    size_t i = 0;
    while (glCalls[i].name != "glColor3f")
        ++i;
    // Side: light blue at alpha 0.75 on x = 2, raised by the view level; top:
    // the same light a shade darker and opaque, just above the box.
    EXPECT_EQ(glCalls[i - 4].args[3], 0.75f);
    EXPECT_NEAR(glCalls[i].args[0], 0.65 / 0.75 * glCalls[i - 4].args[0], 1e-6);
    EXPECT_NEAR(glCalls[i].args[2], 0.95 * glCalls[i - 4].args[2], 1e-6);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(glCalls[i - 4 + k].args[0], 2.0, 1e-4);
        EXPECT_TRUE(glCalls[i - 4 + k].args[1] >= 1.0 && glCalls[i - 4 + k].args[1] <= 5.0);
        EXPECT_EQ(glCalls[i + k].args[1], static_cast<float>((-11.0f + 0.1) + 16.0f));
    }
}
