// The frame, the floor, the box, the water and the walls through the
// recording GL: the order of the pieces, the GL state between them, and
// their primitives, colours, texture coordinates and vertices.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/state.h"
#include "render/frame.h"
#include "render/surface.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"
#include "tests/gl_recorder.h"
#include "water/droplets.h"
#include "water/mesh.h"

namespace {

using Args = std::vector<double>;
using Strings = std::vector<std::string>;

class RenderDraw : public ::testing::Test {
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
        dropletDrawer = nullptr;
        resetSceneState();
    }
};

// The frame's state changes, binds and pieces, a run of equal entries once.
Strings frameOutline()
{
    Strings out;
    for (const GlCall &c : glCalls) {
        const double a = c.args.empty() ? 0 : c.args[0];
        std::string s = c.name;
        if (c.name == "glEnable" || c.name == "glDisable")
            s = (c.name == "glEnable" ? "+" : "-") +
                std::string(a == GL_BLEND ? "blend" : a == GL_DEPTH_TEST ? "depth" : a == GL_TEXTURE_2D ? "tex" : "gen");
        else if (c.name == "glBindTexture")
            s = "bind " + std::to_string(static_cast<int>(c.args[1]));
        else if (c.name == "glPolygonMode")
            s = c.args[1] == GL_FILL ? "fill" : "line";
        else if (c.name == "glBlendFunc")
            s = a == GL_SRC_ALPHA && c.args[1] == GL_ONE ? "additive" : "other blend";
        else if (c.name == "glBegin")
            s = a == GL_TRIANGLES ? "triangles" : "draw";
        else if (c.name != "glClear" && c.name != "gluLookAt" && c.name != "glShadeModel" &&
                 c.name != "glutSolidSphere" && c.name != "glutSwapBuffers")
            continue;
        if (out.empty() || out.back() != s)
            out.push_back(s);
    }
    return out;
}

// One recorded primitive: its mode, colours set inside it, texture
// coordinates and vertices.
struct Face {
    double mode;
    std::vector<Args> colors, tex, vertices;
};

std::vector<Face> recordedFaces()
{
    std::vector<Face> faces;
    bool open = false;
    for (const GlCall &c : glCalls) {
        if (c.name == "glBegin")
            faces.push_back(Face{c.args[0], {}, {}, {}});
        open = c.name == "glBegin" || (open && c.name != "glEnd");
        if (open && c.name == "glColor4f")
            faces.back().colors.push_back(c.args);
        else if (open && c.name == "glTexCoord2f")
            faces.back().tex.push_back(c.args);
        else if (open && c.name == "glVertex3f")
            faces.back().vertices.push_back(c.args);
    }
    return faces;
}

// The vertices of the six faces of a box piece between lo and hi: the caps,
// then the sides, from footprint corner to corner (-2,-2), (2,-2), (2,2), (-2,2).
std::vector<std::vector<Args>> pieceVertices(double lo, double hi)
{
    const double xz[4][2] = {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}};
    auto at = [&](int c, double h) { return Args{xz[c][0], h, xz[c][1]}; };
    std::vector<std::vector<Args>> faces = {{at(0, lo), at(1, lo), at(2, lo), at(3, lo)},
                                            {at(0, hi), at(1, hi), at(2, hi), at(3, hi)}};
    for (int k = 0; k < 4; ++k)
        faces.push_back({at(k, hi), at((k + 1) % 4, hi), at((k + 1) % 4, lo), at(k, lo)});
    return faces;
}

}  // namespace

TEST_F(RenderDraw, FrameOrderAndState)
{
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt",
                                       "-blend", "+tex", "bind 100", "draw", "-tex", "+blend", "additive",  // floor
                                       "fill", "triangles",                                                  // caustics
                                       "+tex", "+gen", "bind 101", "draw", "-gen", "-tex",                   // water
                                       "+tex", "bind 102", "draw", "-tex",                                   // walls
                                       "-depth", "glShadeModel", "glutSwapBuffers"}));
    EXPECT_EQ(glCalls[0].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The box is depth-tested from itself to the droplets; the wire mesh
    // starts after the floor; a scenery set brings its floor texture.
    showBox = 1;
    showMesh = 0;
    envIndex = 3;
    dropletDrawer = drawDropletSphere;
    dropletCount = 10;
    createSplash(0.0f, 0.0f, 1.0f);
    resetGlRecorder();
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt",
                                       "-blend", "+tex", "bind 103", "draw", "-tex", "+blend", "additive",
                                       "line", "-blend", "+depth", "draw", "+blend", "additive", "triangles",
                                       "+tex", "+gen", "bind 104", "draw", "-gen", "-tex",
                                       "+tex", "bind 105", "draw", "-tex",
                                       "-depth", "glShadeModel", "glutSolidSphere", "glutSwapBuffers"}));
    EXPECT_EQ(bottomIndex, 3);
}

TEST_F(RenderDraw, BareFrameStillComputesShadeAndAreaRatio)
{
    showPoolBottom = showCaustics = showEnvironment = 0;
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].shade = waterTriangles[n].areaRatio = -1.0f;
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt", "fill", "triangles", "-depth",
                                       "glShadeModel", "glutSwapBuffers"}));
    EXPECT_EQ(countCalls("glBegin"), triangleCount) << "only the water's triangles";
    EXPECT_EQ(waterTriangles[26911].shade, 0.85f);
    EXPECT_NEAR(waterTriangles[26911].areaRatio, 0.39f, 0.01f);
}

TEST_F(RenderDraw, PoolFloorIsOneTexturedQuadAtTheSeabed)
{
    bottomIndex = 3;
    viewLevelOffset = 6.0f;
    drawPoolFloor();
    EXPECT_EQ(callNames(), "glEnable glBindTexture glColor4f glBegin glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                           "glTexCoord2f glVertex3f glTexCoord2f glVertex3f glEnd glDisable");
    EXPECT_EQ(glCalls[1].args[1], 103);
    EXPECT_EQ(glCalls[2].args, (Args{1, 1, 1, 1}));
    const Face f = recordedFaces()[0];
    EXPECT_EQ(f.mode, GL_POLYGON);
    EXPECT_EQ(f.tex, (std::vector<Args>{{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    EXPECT_EQ(f.vertices, (std::vector<Args>{{-20, -10, 19}, {-20, -10, -20}, {19, -10, -20}, {19, -10, 19}}));

    bottomIndex = -3;  // never shown by the keys; binds no texture rather than reading outside the table
    resetGlRecorder();
    drawPoolFloor();
    EXPECT_EQ(glCalls[1].args[1], 0);
}

TEST_F(RenderDraw, PlainBoxAboveAcrossAndUnderTheWater)
{
    drawBox();
    std::vector<Face> faces = recordedFaces();
    ASSERT_EQ(faces.size(), 6u);
    EXPECT_EQ(glCalls[0].args, (Args{1, 0, 0, 1}));
    for (int f = 0; f < 6; ++f)
        EXPECT_TRUE(faces[f].mode == GL_POLYGON && faces[f].vertices == pieceVertices(20, 24)[f] &&
                    faces[f].tex.empty() && faces[f].colors.empty())
            << "face " << f;

    boxColor[0] = 0.0f;
    boxColor[1] = 1.0f;
    boxBottom = -3.5f;
    boxTop = 0.5f;
    viewLevelOffset = 16.0f;
    resetGlRecorder();
    drawBox();
    faces = recordedFaces();
    ASSERT_EQ(faces.size(), 12u);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].vertices, pieceVertices(16, 16.5)[f]) << "upper piece face " << f;
        EXPECT_EQ(faces[6 + f].vertices, pieceVertices(12.5, 16)[f]) << "lower piece face " << f;
    }
    EXPECT_EQ(faces[1].colors, (std::vector<Args>{{0, 1, 0, 0.2f}})) << "see-through from inside the upper cap";
    const auto colors = callsNamed("glColor4f");
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].args, (Args{0, 1, 0, 1}));
    EXPECT_EQ(colors[2].args, (Args{0, 0.75, 0, 1}));
    EXPECT_EQ(countCalls("glEnable") + countCalls("glBindTexture"), 0);
}

TEST_F(RenderDraw, TexturedBoxInScenerySetsSixAndNine)
{
    boxBottom = -2.0f;
    boxTop = 2.0f;
    envIndex = 9;
    drawBox();
    EXPECT_EQ(callsNamed("glBindTexture")[0].args[1], 113);
    envIndex = 6;
    resetGlRecorder();
    drawBox();
    EXPECT_EQ(frameOutline(), (Strings{"+tex", "bind 112", "draw", "-tex", "+tex", "bind 112", "draw", "-tex"}));
    const auto colors = callsNamed("glColor4f");
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].args, (Args{1, 1, 1, 1}));
    EXPECT_EQ(colors[1].args, (Args{1, 1, 1, 0.2f})) << "set before the upper cap";
    EXPECT_EQ(colors[2].args, (Args{0.75, 0.75, 0.75, 1}));
    const std::vector<Face> faces = recordedFaces();
    const std::vector<Args> sideTex = {{0, 1}, {1, 1}, {1, 0}, {0, 0}}, upperTex = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    for (int f = 0; f < 12; ++f) {
        EXPECT_EQ(faces[f].mode, f % 6 < 2 ? GL_QUADS : GL_POLYGON) << "face " << f;
        EXPECT_EQ(faces[f].tex, f % 6 == 1 ? upperTex : sideTex) << "face " << f;
    }
}

TEST_F(RenderDraw, SphereMappedWaterWithOneNormalPerQuadThenTheWalls)
{
    viewLevelOffset = 16.0f;
    waterHeight[11][21] = 0.5f;   // fourth corner of quad (10, 20): ignored by its normal
    waterHeight[31][40] = 0.25f;  // second corner of quad (30, 40): tilts it towards -x
    drawWaterSurface();
    EXPECT_EQ(glCalls[3].args, (Args{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    EXPECT_EQ(glCalls[5].args, (Args{GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));
    EXPECT_EQ(glCalls[6].args, (Args{GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}));

    const std::vector<Face> faces = recordedFaces();
    ASSERT_EQ(faces.size(), 116u * 116 + 2);
    const Face &quad = faces[10 * 116 + 20];
    EXPECT_EQ(callsNamed("glColor4f")[10 * 116 + 20].args, (Args{1, 1, 1, 1}));
    EXPECT_EQ(quad.vertices[2][1], 16.5);
    EXPECT_NEAR(quad.tex[2][0], 11 / 116.0, 1e-7);
    EXPECT_NEAR(quad.tex[2][1], 21 / 116.0, 1e-7);
    const auto normals = callsNamed("glNormal3f");
    ASSERT_EQ(normals.size(), 116u * 116);
    EXPECT_EQ(normals[10 * 116 + 20].args, (Args{0, 1, 0}));
    const Args &tilted = normals[30 * 116 + 40].args;
    const double run = 39.0 / 116.0, rise = 0.25;
    EXPECT_NEAR(tilted[0], -rise / std::hypot(run, rise), 1e-5);
    EXPECT_NEAR(tilted[1], run / std::hypot(run, rise), 1e-5);

    const Face &west = faces[116 * 116], &north = faces[116 * 116 + 1];
    EXPECT_EQ(west.tex, (std::vector<Args>{{0, 1}, {1, 1}, {1, 0}, {0, 0}}));
    EXPECT_EQ(west.vertices, (std::vector<Args>{{-20, 16, 19}, {-20, 16, -20}, {-20, 36, -20}, {-20, 36, 19}}));
    EXPECT_EQ(north.tex, (std::vector<Args>{{1, 1}, {0, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(north.vertices, (std::vector<Args>{{-20, 16, -20}, {19, 16, -20}, {19, 36, -20}, {-20, 36, -20}}));
}

TEST_F(RenderDraw, WithoutSceneryTheWaterIsTranslucentBlueTriangles)
{
    showEnvironment = 0;
    waterHeight[1][1] = -0.5f;  // vertex 0 of triangle 117
    drawWaterSurface();
    ASSERT_EQ(glCalls.size(), static_cast<size_t>(triangleCount) * 6) << "colour, begin, three vertices, end";
    const GlCall *c = &glCalls[117 * 6];
    EXPECT_EQ(c[0].args, (Args{0.196f, 0.196f, 0.804f, 0.4f}));
    EXPECT_EQ(c[1].args, (Args{GL_TRIANGLES}));
    const float x1 = gridCoord(1), x2 = gridCoord(2);
    EXPECT_EQ(c[2].args, (Args{x1, -0.5f, x1}));
    EXPECT_EQ(c[3].args, (Args{x2, 0, x1}));
    EXPECT_EQ(c[4].args, (Args{x1, 0, x2}));
}
