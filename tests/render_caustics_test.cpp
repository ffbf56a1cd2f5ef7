// The caustic drawing through the recording GL: one batch, the colours and
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

constexpr int LIT = 58 * GRID_CELLS + 58;  // the triangle the tests light up by hand

class RenderCaustics : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        computeFrameValues();
        resetGlRecorder();
    }
    void TearDown() override { resetSceneState(); }

    // Darkens every triangle but LIT, whose brightness becomes areaRatio / 2
    // under the light straight above.
    static WaterTriangle &lightOnly(float areaRatio)
    {
        for (int n = 0; n < triangleCount; ++n)
            waterTriangles[n].areaRatio = 0.0f;
        WaterTriangle &t = waterTriangles[LIT];
        t.areaRatio = areaRatio;
        return t;
    }
};

}  // namespace

TEST_F(RenderCaustics, CalmWaterIsOneEmptyBatch)
{
    drawCaustics();
    ASSERT_EQ(glCalls.size(), 2u);
    EXPECT_EQ(glCalls[0].name, "glBegin");
    EXPECT_EQ(glCalls[0].args[0], GL_TRIANGLES);
    EXPECT_EQ(glCalls[1].name, "glEnd");
}

TEST_F(RenderCaustics, SeabedTriangleColourAndVertices)
{
    WaterTriangle &t = lightOnly(1.2f);
    ASSERT_EQ(t.normal[1], 1.0f);
    t.shade = 0.8f;
    viewLevelOffset = 16.0f;
    drawCaustics();

    ASSERT_EQ(glCalls.size(), 6u);
    EXPECT_EQ(glCalls[1].name, "glColor4f");
    // brightness 0.6, shade 0.8: 0.48 times the light blue, three quarters opaque
    const double sv = 0.8f * 0.6f;
    EXPECT_EQ(glCalls[1].args, (std::vector<double>{static_cast<float>(0.75 * sv), static_cast<float>(0.85 * sv),
                                                     static_cast<float>(sv), 0.75f}));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(glCalls[2 + k].name, "glVertex3f");
        EXPECT_EQ(glCalls[2 + k].args, (std::vector<double>{t.causticX[k], 0.0f, t.causticZ[k]}))
            << "the seabed at -16, raised by the view level";
    }
    EXPECT_EQ(glCalls[5].name, "glEnd");
}

TEST_F(RenderCaustics, ThresholdIsInclusive)
{
    lightOnly(0.4f);  // brightness exactly 0.2
    drawCaustics();
    EXPECT_EQ(countCalls("glVertex3f"), 3);

    lightOnly(std::nextafter(0.4f, 0.0f));
    resetGlRecorder();
    drawCaustics();
    EXPECT_EQ(countCalls("glVertex3f"), 0);
}

TEST_F(RenderCaustics, FloorEdgesAreInclusiveAndNonFiniteIsDropped)
{
    struct Case {
        float x;
        int drawn;
    };
    const Case cases[] = {{19.0f, 1},
                          {-20.0f, 1},
                          {19.0001f, 0},
                          {-20.0001f, 0},
                          {std::numeric_limits<float>::quiet_NaN(), 0},
                          {std::numeric_limits<float>::infinity(), 0}};
    for (const Case &c : cases) {
        computeFrameValues();  // fresh caustic points near the middle of the floor
        WaterTriangle &t = lightOnly(1.0f);
        t.causticX[1] = c.x;
        resetGlRecorder();
        drawCaustics();
        EXPECT_EQ(countCalls("glVertex3f"), 3 * c.drawn) << "x = " << c.x;

        t.causticX[1] = 0.0f;
        t.causticZ[2] = c.x;
        resetGlRecorder();
        drawCaustics();
        EXPECT_EQ(countCalls("glVertex3f"), 3 * c.drawn) << "z = " << c.x;
    }
}

TEST_F(RenderCaustics, BoxAtItsStartPositionShadowsEverything)
{
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].areaRatio = 1.0f;  // bright everywhere
    drawCaustics();
    ASSERT_GT(countCalls("glVertex3f"), 3 * 5000);

    showBox = 1;
    resetGlRecorder();
    drawCaustics();
    EXPECT_EQ(countCalls("glVertex3f"), 0);
    EXPECT_EQ(countCalls("glBegin"), 1);
    EXPECT_EQ(countCalls("glEnd"), 1);
}

TEST_F(RenderCaustics, SubmergedBoxSideAndTopTriangles)
{
    // The light at x = 12 sends rays from the surface near x = 12 steeply
    // down under the box; they cross its face x = 2 between -15 and -11.
    lightX = 12.0f;
    showBox = 1;
    boxBottom = -15.0f;
    boxTop = -11.0f;
    viewLevelOffset = 16.0f;
    computeFrameValues();
    resetGlRecorder();
    drawCaustics();

    const auto colors4 = callsNamed("glColor4f");
    const auto colors3 = callsNamed("glColor3f");
    ASSERT_GT(colors3.size(), 0u) << "some triangles land on the top";
    // Every triangle on the box is drawn on a side; some also on the top.
    EXPECT_GE(colors4.size(), colors3.size());

    const float topY = static_cast<float>((-11.0f + 0.1) + 16.0f);
    int side = 0, top = 0;
    for (size_t i = 0; i < glCalls.size(); ++i) {
        if (glCalls[i].name == "glColor3f") {
            for (int k = 1; k <= 3; ++k) {
                ASSERT_EQ(glCalls[i + k].name, "glVertex3f");
                EXPECT_EQ(glCalls[i + k].args[1], topY);
                EXPECT_LT(std::fabs(glCalls[i + k].args[0]), 2.0);
                EXPECT_LT(std::fabs(glCalls[i + k].args[2]), 2.0);
            }
            // The top is a little darker than the sides and fully opaque.
            const std::vector<double> &sideColor = glCalls[i - 4].args;
            EXPECT_NEAR(glCalls[i].args[0], 0.65 / 0.75 * sideColor[0], 1e-6);
            EXPECT_NEAR(glCalls[i].args[1], 0.75 / 0.85 * sideColor[1], 1e-6);
            EXPECT_NEAR(glCalls[i].args[2], 0.95 * sideColor[2], 1e-6);
            ++top;
        } else if (glCalls[i].name == "glColor4f") {
            EXPECT_EQ(glCalls[i].args[3], 0.75f);
            for (int k = 1; k <= 3; ++k) {
                ASSERT_EQ(glCalls[i + k].name, "glVertex3f");
                const std::vector<double> &v = glCalls[i + k].args;
                EXPECT_NEAR(v[0], 2.0, 1e-4) << "on the face x = 2";
                EXPECT_GE(v[1], -15.0 + 16.0);
                EXPECT_LE(v[1], -11.0 + 16.0);
                EXPECT_LE(std::fabs(v[2]), 2.0);
            }
            ++side;
        }
    }
    EXPECT_EQ(side, static_cast<int>(colors4.size()));
    EXPECT_EQ(top, static_cast<int>(colors3.size()));
}
