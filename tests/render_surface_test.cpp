// The water surface and the walls through the recording GL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
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
        for (int i = 0; i < TEXTURE_COUNT; ++i)
            textureIds[i] = 0;
        resetSceneState();
    }
};

// Index of the glBegin of quad (i, j) of the reflecting surface: each quad
// is colour, begin, normal, four (texture coordinate, vertex) pairs, end.
constexpr size_t SURFACE_SET_UP = 7;
constexpr size_t CALLS_PER_QUAD = 12;
size_t quadBegin(int i, int j)
{
    return SURFACE_SET_UP + (static_cast<size_t>(i) * GRID_CELLS + j) * CALLS_PER_QUAD + 1;
}

// The world x or z of grid index n, worked out here in double.
double coord(int n)
{
    return static_cast<float>(n * static_cast<double>(39.0f / 116.0f) - 20.0);
}

}  // namespace

TEST_F(RenderSurface, ReflectingSurfaceSetUpAndQuads)
{
    envIndex = 3;
    drawWaterSurface();
    const char *const setUp[] = {"glEnable",  "glEnable",  "glEnable",  "glTexEnvi", "glBindTexture",
                                 "glTexGeni", "glTexGeni", "glColor4f", "glBegin",   "glNormal3f"};
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(glCalls[i].name, setUp[i]) << "call " << i;
    EXPECT_EQ(glCalls[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(glCalls[1].args[0], GL_TEXTURE_GEN_S);
    EXPECT_EQ(glCalls[2].args[0], GL_TEXTURE_GEN_T);
    EXPECT_EQ(glCalls[4].args[1], 104) << "the reflection of set 3";
    EXPECT_EQ(glCalls[5].args, (Args{GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));
    EXPECT_EQ(glCalls[6].args, (Args{GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));
    EXPECT_EQ(glCalls[3].args, (Args{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));

    EXPECT_EQ(countCalls("glNormal3f"), 116 * 116);
    EXPECT_EQ(countCalls("glBegin"), 116 * 116 + 2) << "the quads and two walls";

    // Quad (115, 115): the last, at the far corner of the grid.
    const size_t q = quadBegin(115, 115);
    ASSERT_EQ(glCalls[q].name, "glBegin");
    EXPECT_EQ(glCalls[q].args[0], GL_QUADS);
    EXPECT_EQ(glCalls[q - 1].args, (Args{1, 1, 1, 1}));
    const int corners[4][2] = {{115, 115}, {116, 115}, {116, 116}, {115, 116}};
    // The float nearest 115/116, written out: GCC 12 at -O2 drops the
    // rounding of a float cast that is widened straight back to double in
    // a loop like this one, so it cannot be computed here.
    const double texCoords[4][2] = {{0.99137931f, 0.99137931f}, {1, 0.99137931f}, {1, 1}, {0.99137931f, 1}};
    for (int c = 0; c < 4; ++c) {
        const GlCall &tex = glCalls[q + 2 + 2 * c];
        const GlCall &vertex = glCalls[q + 3 + 2 * c];
        EXPECT_EQ(tex.args, (Args{texCoords[c][0], texCoords[c][1]}));
        EXPECT_EQ(vertex.args, (Args{coord(corners[c][0]), 0.0, coord(corners[c][1])}));
    }
    EXPECT_EQ(glCalls[q + 10].name, "glEnd");
}

TEST_F(RenderSurface, OneNormalPerQuadFromThreeCorners)
{
    // Raise the fourth corner of quad (10, 20): its normal ignores it. Raise
    // the second corner of quad (30, 40): its normal tilts towards -x.
    waterHeight[11][21] = 0.5f;
    waterHeight[31][40] = 0.25f;
    viewLevelOffset = 16.0f;
    drawWaterSurface();

    const GlCall &flat = glCalls[quadBegin(10, 20) + 1];
    ASSERT_EQ(flat.name, "glNormal3f");
    EXPECT_EQ(flat.args, (Args{0, 1, 0}));
    EXPECT_EQ(glCalls[quadBegin(10, 20) + 7].args[1], 16.5f) << "the raised corner itself is drawn raised";

    const GlCall &tilted = glCalls[quadBegin(30, 40) + 1];
    const double run = 39.0 / 116.0, rise = 0.25;
    EXPECT_NEAR(tilted.args[0], -rise / std::hypot(run, rise), 1e-5);
    EXPECT_NEAR(tilted.args[1], run / std::hypot(run, rise), 1e-5);
    EXPECT_EQ(tilted.args[2], 0.0);
    EXPECT_EQ(glCalls[quadBegin(30, 40) + 5].args[1], 16.25f);
}

TEST_F(RenderSurface, WallsCloseTheFarSides)
{
    viewLevelOffset = 16.0f;
    drawWaterSurface();
    const size_t afterSurface = quadBegin(115, 115) + 11;
    const std::vector<GlCall> tail(glCalls.begin() + afterSurface, glCalls.end());
    ASSERT_EQ(tail.size(), 3u + 3u + 20u + 1u);
    // Texturing and generation off after the surface, then the walls' texture.
    EXPECT_EQ(tail[0].args[0], GL_TEXTURE_GEN_S);
    EXPECT_EQ(tail[1].args[0], GL_TEXTURE_GEN_T);
    EXPECT_EQ(tail[2].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(tail[3].name, "glEnable");
    EXPECT_EQ(tail[4].args[1], 102);
    EXPECT_EQ(tail[5].args, (Args{1, 1, 1, 1}));

    std::vector<Args> tex, vertices;
    for (const GlCall &c : tail) {
        if (c.name == "glTexCoord2f")
            tex.push_back(c.args);
        if (c.name == "glVertex3f")
            vertices.push_back(c.args);
    }
    EXPECT_EQ(tex, (std::vector<Args>{{0, 1}, {1, 1}, {1, 0}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(vertices, (std::vector<Args>{{-20, 16, 19},
                                           {-20, 16, -20},
                                           {-20, 36, -20},
                                           {-20, 36, 19},
                                           {-20, 16, -20},
                                           {19, 16, -20},
                                           {19, 36, -20},
                                           {-20, 36, -20}}));
    EXPECT_EQ(tail.back().name, "glDisable");
    EXPECT_EQ(tail.back().args[0], GL_TEXTURE_2D);
}

TEST_F(RenderSurface, WithoutSceneryTheWaterIsTranslucentBlueTriangles)
{
    showEnvironment = 0;
    envIndex = -3;
    waterHeight[1][1] = -0.5f;
    viewLevelOffset = 16.0f;
    drawWaterSurface();

    ASSERT_EQ(glCalls.size(), static_cast<size_t>(triangleCount) * 6);
    EXPECT_EQ(countCalls("glColor4f"), triangleCount);
    EXPECT_EQ(countCalls("glEnable") + countCalls("glBindTexture") + countCalls("glNormal3f") +
                  countCalls("glTexCoord2f"),
              0);
    for (int n : {0, 13456, 26911}) {
        const WaterTriangle &t = waterTriangles[n];
        const size_t at = static_cast<size_t>(n) * 6;
        EXPECT_EQ(glCalls[at].args, (Args{0.196f, 0.196f, 0.804f, 0.4f}));
        EXPECT_EQ(glCalls[at + 1].args[0], GL_TRIANGLES);
        for (int k = 0; k < 3; ++k) {
            const int row = t.vertexRow[k], col = t.vertexCol[k];
            EXPECT_EQ(glCalls[at + 2 + k].args,
                      (Args{coord(row), static_cast<float>(waterHeight[row][col] + 16.0), coord(col)}));
        }
        EXPECT_EQ(glCalls[at + 5].name, "glEnd");
    }
    // Triangle 116 + 1 = 117 has the lowered vertex (1, 1) as its vertex 0.
    EXPECT_EQ(glCalls[117 * 6 + 2].args, (Args{coord(1), 15.5, coord(1)}));
}
