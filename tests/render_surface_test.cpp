// The water surface and the walls through the recording GL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/state.h"
#include "render/surface.h"
#include "scenery/textures.h"
#include "tests/gl_recorder.h"
#include "water/mesh.h"

namespace {

using Args = std::vector<double>;

class RenderSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        for (int i = 0; i < TEXTURE_COUNT; ++i)
            textureIds[i] = 100 + i;
        resetGlRecorder();
    }
    void TearDown() override
    {
        for (unsigned int &id : textureIds)
            id = 0;
        resetSceneState();
    }
};

// The glBegin of quad (i, j): seven set-up calls, then per quad colour,
// begin, normal, four texture coordinate and vertex pairs, end.
size_t quadBegin(int i, int j)
{
    return 7 + (static_cast<size_t>(i) * GRID_CELLS + j) * 12 + 1;
}

// World x or z of grid index n, rounded once from double.
double coord(int n)
{
    return static_cast<float>(n * static_cast<double>(39.0f / 116.0f) - 20.0);
}

}  // namespace

TEST_F(RenderSurface, SphereMappedQuadsWithOneNormalFromThreeCorners)
{
    envIndex = 3;
    viewLevelOffset = 16.0f;
    waterHeight[11][21] = 0.5f;   // fourth corner of quad (10, 20): ignored by its normal
    waterHeight[31][40] = 0.25f;  // second corner of quad (30, 40): tilts it towards -x
    drawWaterSurface();

    EXPECT_EQ(callNames().rfind("glEnable glEnable glEnable glTexEnvi glBindTexture glTexGeni glTexGeni glColor4f "
                                "glBegin glNormal3f glTexCoord2f glVertex3f", 0), 0u);
    EXPECT_EQ(Args({glCalls[0].args[0], glCalls[1].args[0], glCalls[2].args[0]}),
              (Args{GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T}));
    EXPECT_EQ(glCalls[3].args, (Args{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    EXPECT_EQ(glCalls[4].args[1], 104) << "the reflection of set 3";
    EXPECT_EQ(glCalls[5].args, (Args{GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));
    EXPECT_EQ(glCalls[6].args, (Args{GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));
    EXPECT_EQ(countCalls("glNormal3f"), 116 * 116);

    const size_t flat = quadBegin(10, 20);
    EXPECT_EQ(glCalls[flat - 1].args, (Args{1, 1, 1, 1}));
    EXPECT_EQ(glCalls[flat + 1].args, (Args{0, 1, 0}));
    const int corners[4][2] = {{10, 20}, {11, 20}, {11, 21}, {10, 21}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(glCalls[flat + 2 + 2 * c].args[0], corners[c][0] / 116.0, 1e-7);
        EXPECT_NEAR(glCalls[flat + 2 + 2 * c].args[1], corners[c][1] / 116.0, 1e-7);
        EXPECT_EQ(glCalls[flat + 3 + 2 * c].args,
                  (Args{coord(corners[c][0]), c == 2 ? 16.5 : 16.0, coord(corners[c][1])}));
    }
    const Args &tilted = glCalls[quadBegin(30, 40) + 1].args;
    const double run = 39.0 / 116.0, rise = 0.25;
    EXPECT_NEAR(tilted[0], -rise / std::hypot(run, rise), 1e-5);
    EXPECT_NEAR(tilted[1], run / std::hypot(run, rise), 1e-5);
    EXPECT_EQ(tilted[2], 0.0);
}

TEST_F(RenderSurface, WallsCloseTheFarSides)
{
    viewLevelOffset = 16.0f;
    drawWaterSurface();
    const std::vector<GlCall> tail(glCalls.begin() + quadBegin(115, 115) + 11, glCalls.end());
    std::vector<Args> tex, vertices;
    std::vector<std::string> other;
    for (const GlCall &c : tail) {
        if (c.name == "glTexCoord2f")
            tex.push_back(c.args);
        else if (c.name == "glVertex3f")
            vertices.push_back(c.args);
        else
            other.push_back(c.name + (c.args.empty() ? "" : " " + std::to_string(static_cast<long>(c.args.back()))));
    }
    EXPECT_EQ(other, (std::vector<std::string>{"glDisable 3168", "glDisable 3169", "glDisable 3553", "glEnable 3553",
                                               "glBindTexture 102", "glColor4f 1", "glBegin 7", "glEnd", "glBegin 7",
                                               "glEnd", "glDisable 3553"}));
    EXPECT_EQ(tex, (std::vector<Args>{{0, 1}, {1, 1}, {1, 0}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(vertices, (std::vector<Args>{{-20, 16, 19}, {-20, 16, -20}, {-20, 36, -20}, {-20, 36, 19},
                                           {-20, 16, -20}, {19, 16, -20}, {19, 36, -20}, {-20, 36, -20}}));
}

TEST_F(RenderSurface, WithoutSceneryTheWaterIsTranslucentBlueTriangles)
{
    showEnvironment = 0;
    envIndex = -3;
    waterHeight[1][1] = -0.5f;
    viewLevelOffset = 16.0f;
    drawWaterSurface();

    ASSERT_EQ(glCalls.size(), static_cast<size_t>(triangleCount) * 6) << "colour, begin, three vertices, end";
    for (int n : {0, 117, 13456, 26911}) {  // 117: vertex 0 is the lowered (1, 1)
        const WaterTriangle &t = waterTriangles[n];
        const GlCall *c = &glCalls[static_cast<size_t>(n) * 6];
        EXPECT_EQ(c[0].args, (Args{0.196f, 0.196f, 0.804f, 0.4f}));
        EXPECT_EQ(c[1].args, (Args{GL_TRIANGLES}));
        for (int k = 0; k < 3; ++k) {
            const int row = t.vertexRow[k], col = t.vertexCol[k];
            EXPECT_EQ(c[2 + k].args, (Args{coord(row), static_cast<float>(waterHeight[row][col] + 16.0), coord(col)}));
        }
    }
    EXPECT_EQ(glCalls[117 * 6 + 2].args[1], 15.5);
}
