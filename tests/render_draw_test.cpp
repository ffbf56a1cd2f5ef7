// The frame, the floor, the box, the water and the walls through the
// recording GL: the order of the pieces, the GL state between them, and
// their primitives, colours, texture coordinates and vertices.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <set>
#include <string>
#include <vector>

#include "caustics/caustics.h"
#include "core/geometry.h"
#include "core/state.h"
#include "render/frame.h"
#include "render/surface.h"
#include "scenery/scenery.h"
#include "scenery/scenery_gl.h"
#include "scenery/textures.h"
#include "tests/frame_reference.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
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

// The GL state a drawn vertex saw, in the order of drawnVertices().
struct VertexState {
    bool texture2d = false, genS = false, genT = false;  // enabled capabilities
    double boundTexture = 0;
    double genModeS = 0, genModeT = 0;  // texture generation modes
    double envMode = 0;                 // texture environment mode
};

// The state at each drawn vertex, and after the last call as the final entry.
std::vector<VertexState> vertexStates()
{
    std::vector<VertexState> out;
    VertexState now;
    for (const GlCall &c : glCalls) {
        const std::vector<double> &a = c.args;
        if (c.name == "glEnable" || c.name == "glDisable") {
            const bool on = c.name == "glEnable";
            if (a[0] == GL_TEXTURE_2D)
                now.texture2d = on;
            else if (a[0] == GL_TEXTURE_GEN_S)
                now.genS = on;
            else if (a[0] == GL_TEXTURE_GEN_T)
                now.genT = on;
        } else if (c.name == "glBindTexture") {
            now.boundTexture = a[1];
        } else if (c.name == "glTexGeni" && a[1] == GL_TEXTURE_GEN_MODE) {
            (a[0] == GL_S ? now.genModeS : now.genModeT) = a[2];
        } else if (c.name == "glTexEnvi" && a[1] == GL_TEXTURE_ENV_MODE) {
            now.envMode = a[2];
        } else if (c.name == "glVertex3f") {
            out.push_back(now);
        }
    }
    out.push_back(now);
    return out;
}

// The client arrays still enabled when call number upTo is made (or at the end).
std::set<double> clientArraysEnabledAt(size_t upTo)
{
    std::set<double> on;
    for (size_t i = 0; i < upTo && i < glCalls.size(); ++i) {
        if (glCalls[i].name == "glEnableClientState")
            on.insert(glCalls[i].args[0]);
        else if (glCalls[i].name == "glDisableClientState")
            on.erase(glCalls[i].args[0]);
    }
    return on;
}

Args position(const DrawnVertex &v) { return Args(v.pos, v.pos + 3); }
Args colour(const DrawnVertex &v) { return Args(v.color, v.color + 4); }
Args normal(const DrawnVertex &v) { return Args(v.normal, v.normal + 3); }
Args texCoord(const DrawnVertex &v) { return Args(v.texCoord, v.texCoord + 2); }

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

// Drawn position of grid vertex (i, j): its simulated height raised by the view level.
Args drawnGridVertex(int i, int j)
{
    return Args{gridCoord(i), static_cast<float>(double(waterHeight[i][j]) + viewLevelOffset), gridCoord(j)};
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
    // The caustics' and the water's arrays are switched off again before the
    // droplets: freeglut draws its sphere from client arrays too, and would
    // read our colour array along with its own.
    for (size_t i = 0; i < glCalls.size(); ++i)
        if (glCalls[i].name == "glutSolidSphere") {
            EXPECT_TRUE(clientArraysEnabledAt(i).empty()) << "at the droplet sphere";
        }
    EXPECT_TRUE(clientArraysEnabledAt(glCalls.size()).empty()) << "after the frame";
}

TEST_F(RenderDraw, BareFrameStillComputesShadeAndAreaRatio)
{
    showPoolBottom = showCaustics = showEnvironment = 0;
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].shade = waterTriangles[n].areaRatio = -1.0f;
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt", "fill", "triangles", "-depth",
                                       "glShadeModel", "glutSwapBuffers"}));
    EXPECT_EQ(waterTriangles[26911].shade, 0.85f);
    EXPECT_NEAR(waterTriangles[26911].areaRatio, 0.39f, 0.01f);
}

TEST_F(RenderDraw, PoolFloorIsOneTexturedQuadAtTheSeabed)
{
    bottomIndex = 3;
    viewLevelOffset = 6.0f;
    drawPoolFloor();
    const std::vector<DrawnVertex> drawn = drawnVertices();
    const std::vector<VertexState> states = vertexStates();
    const std::vector<Args> corners = {{-20, -10, 19}, {-20, -10, -20}, {19, -10, -20}, {19, -10, 19}};
    const std::vector<Args> tex = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    ASSERT_EQ(drawn.size(), 4u);
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(drawn[c].mode == GL_POLYGON && position(drawn[c]) == corners[c] && texCoord(drawn[c]) == tex[c] &&
                    colour(drawn[c]) == (Args{1, 1, 1, 1}) && states[c].texture2d && states[c].boundTexture == 103)
            << "corner " << c;
    EXPECT_FALSE(states.back().texture2d) << "the texture is switched off after";

    bottomIndex = -3;  // never shown by the keys; binds no texture rather than reading outside the table
    resetGlRecorder();
    drawPoolFloor();
    EXPECT_EQ(vertexStates()[0].boundTexture, 0);
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

TEST_F(RenderDraw, SphereMappedQuadsWithOneNormalEachThenTheWalls)
{
    rippleWater();
    viewLevelOffset = 16.0f;
    computeFrameValues();
    drawWaterSurface();
    const std::vector<DrawnVertex> drawn = drawnVertices();
    const std::vector<VertexState> states = vertexStates();
    ASSERT_EQ(drawn.size(), static_cast<size_t>(QUAD_VERTICES) + 8);

    // Each quad's corners (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1), all
    // with the normal of the first, second and fourth at their simulated
    // heights, which the sphere mapping looks the reflection up by.
    int failures = 0;
    for (int i = 0; i < GRID_CELLS; ++i)
        for (int j = 0; j < GRID_CELLS && failures < 5; ++j) {
            auto at = [](int r, int c) { return Point3{gridCoord(r), waterHeight[r][c], gridCoord(c)}; };
            const Point3 n = triangleUnitNormal(at(i, j), at(i + 1, j), at(i, j + 1));
            const int corner[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            for (int c = 0; c < 4; ++c) {
                const DrawnVertex &d = drawn[4 * (i * GRID_CELLS + j) + c];
                const VertexState &st = states[4 * (i * GRID_CELLS + j) + c];
                const int r = corner[c][0], col = corner[c][1];
                const bool ok = d.mode == GL_QUADS && position(d) == drawnGridVertex(r, col) &&
                                normal(d) == (Args{n.x, n.y, n.z}) && colour(d) == (Args{1, 1, 1, 1}) &&
                                texCoord(d) == (Args{r / 116.0f, col / 116.0f}) &&
                                st.texture2d && st.genS && st.genT && st.boundTexture == 101 &&
                                st.genModeS == GL_SPHERE_MAP && st.genModeT == GL_SPHERE_MAP &&
                                st.envMode == GL_MODULATE;
                if (!ok) {
                    ADD_FAILURE() << "quad (" << i << ", " << j << ") corner " << c;
                    ++failures;
                }
            }
        }

    // The walls x = -20 and z = -20 from the water level up to 20 above it,
    // textured, without the sphere mapping.
    const std::vector<Args> walls = {{-20, 16, 19},  {-20, 16, -20}, {-20, 36, -20}, {-20, 36, 19},
                                     {-20, 16, -20}, {19, 16, -20},  {19, 36, -20},  {-20, 36, -20}};
    const std::vector<Args> wallTex = {{0, 1}, {1, 1}, {1, 0}, {0, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}};
    for (int v = 0; v < 8; ++v) {
        const DrawnVertex &d = drawn[QUAD_VERTICES + v];
        const VertexState &st = states[QUAD_VERTICES + v];
        EXPECT_TRUE(d.mode == GL_QUADS && position(d) == walls[v] && texCoord(d) == wallTex[v] &&
                    colour(d) == (Args{1, 1, 1, 1}) && st.texture2d && !st.genS && !st.genT && st.boundTexture == 102)
            << "wall vertex " << v;
    }

    // Everything switched on for the water is off again.
    EXPECT_FALSE(states.back().texture2d || states.back().genS || states.back().genT);
    EXPECT_TRUE(clientArraysEnabledAt(glCalls.size()).empty());
}

TEST_F(RenderDraw, WithoutSceneryTheWaterIsTranslucentBlueTrianglesInListOrder)
{
    showEnvironment = 0;
    rippleWater();
    viewLevelOffset = 16.0f;
    computeFrameValues();
    drawWaterSurface();
    const std::vector<DrawnVertex> drawn = drawnVertices();
    ASSERT_EQ(drawn.size(), 3u * triangleCount);
    int failures = 0;
    for (int n = 0; n < triangleCount && failures < 5; ++n)
        for (int k = 0; k < 3; ++k) {
            const DrawnVertex &d = drawn[3 * n + k];
            const WaterTriangle &t = waterTriangles[n];
            if (d.mode != GL_TRIANGLES || position(d) != drawnGridVertex(t.vertexRow[k], t.vertexCol[k]) ||
                colour(d) != (Args{0.196f, 0.196f, 0.804f, 0.4f})) {
                ADD_FAILURE() << "triangle " << n << " vertex " << k;
                ++failures;
            }
        }
    EXPECT_TRUE(clientArraysEnabledAt(glCalls.size()).empty());
}
