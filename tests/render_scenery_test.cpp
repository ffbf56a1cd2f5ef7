// The pool floor and the box through the recording GL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "app/state.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"
#include "tests/gl_recorder.h"

namespace {

using Args = std::vector<double>;

class RenderScenery : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
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
        if (open && c.name == "glTexCoord2f")
            faces.back().tex.push_back(c.args);
        if (open && c.name == "glVertex3f")
            faces.back().vertices.push_back(c.args);
    }
    return faces;
}

// The vertices of the six faces of a box piece between lo and hi: the caps,
// then the sides, each from footprint corner to corner (-2,-2), (2,-2), (2,2), (-2,2).
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

TEST_F(RenderScenery, PoolFloorIsOneTexturedQuadAtTheSeabed)
{
    bottomIndex = 3;
    viewLevelOffset = 6.0f;
    drawPoolFloor();
    EXPECT_EQ(callNames(), "glEnable glBindTexture glColor4f glBegin glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                           "glTexCoord2f glVertex3f glTexCoord2f glVertex3f glEnd glDisable");
    EXPECT_EQ(glCalls[1].args, (Args{GL_TEXTURE_2D, 103}));
    EXPECT_EQ(glCalls[2].args, (Args{1, 1, 1, 1}));
    const Face f = recordedFaces()[0];
    EXPECT_EQ(f.mode, GL_POLYGON);
    EXPECT_EQ(f.tex, (std::vector<Args>{{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    EXPECT_EQ(f.vertices, (std::vector<Args>{{-20, -10, 19}, {-20, -10, -20}, {19, -10, -20}, {19, -10, 19}}));
    EXPECT_EQ(glCalls.back().args[0], GL_TEXTURE_2D);
}

TEST_F(RenderScenery, PlainBoxAboveTheWaterAtStart)
{
    drawBox();
    EXPECT_EQ(countCalls("glEnable") + countCalls("glDisable") + countCalls("glBindTexture"), 0);
    EXPECT_EQ(glCalls[0].args, (Args{1, 0, 0, 1}));
    const std::vector<Face> faces = recordedFaces();
    ASSERT_EQ(faces.size(), 6u);
    const auto expected = pieceVertices(20, 24);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].mode, GL_POLYGON);
        EXPECT_EQ(faces[f].vertices, expected[f]) << "face " << f;
        EXPECT_TRUE(faces[f].tex.empty() && faces[f].colors.empty());
    }
}

TEST_F(RenderScenery, PlainCrossingBoxTurnsSeeThroughInsideTheUpperCap)
{
    boxColor[0] = 0.0f;
    boxColor[1] = 1.0f;
    boxBottom = -3.5f;
    boxTop = 0.5f;
    viewLevelOffset = 16.0f;
    drawBox();
    const std::vector<Face> faces = recordedFaces();
    ASSERT_EQ(faces.size(), 12u);
    const auto upper = pieceVertices(16, 16.5), lower = pieceVertices(12.5, 16);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].vertices, upper[f]) << "upper piece face " << f;
        EXPECT_EQ(faces[6 + f].vertices, lower[f]) << "lower piece face " << f;
    }
    EXPECT_EQ(faces[1].colors, (std::vector<Args>{{0, 1, 0, 0.2f}}));
    const auto colors = callsNamed("glColor4f");
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].args, (Args{0, 1, 0, 1}));
    EXPECT_EQ(colors[2].args, (Args{0, 0.75, 0, 1})) << "the piece under water";

    boxBottom = -3.6f;  // submerged although its top is out of the water
    boxTop = 0.4f;
    resetGlRecorder();
    drawBox();
    EXPECT_EQ(recordedFaces().size(), 6u);
    EXPECT_EQ(callsNamed("glColor4f")[0].args, (Args{0, 0.75, 0, 1}));
}

TEST_F(RenderScenery, TexturedBoxByScenerySet)
{
    const int sets[5][2] = {{6, 112}, {9, 113}, {-3, 0}, {0, 0}, {3, 0}};
    for (const auto &set : sets) {
        envIndex = set[0];
        boxBottom = -2.0f;
        boxTop = 2.0f;
        resetGlRecorder();
        drawBox();
        const auto binds = callsNamed("glBindTexture");
        if (set[1] == 0) {
            EXPECT_TRUE(binds.empty()) << "plain in set " << set[0];
            continue;
        }
        // Each piece: texturing on, its texture, its colour, six faces, off.
        ASSERT_EQ(binds.size(), 2u);
        EXPECT_EQ(binds[1].args[1], set[1]);
        EXPECT_EQ(countCalls("glEnable"), 2);
        EXPECT_EQ(glCalls.back().name, "glDisable");
        const auto colors = callsNamed("glColor4f");
        ASSERT_EQ(colors.size(), 3u);
        EXPECT_EQ(colors[0].args, (Args{1, 1, 1, 1}));
        EXPECT_EQ(colors[1].args, (Args{1, 1, 1, 0.2f})) << "set before the upper cap";
        EXPECT_EQ(colors[2].args, (Args{0.75, 0.75, 0.75, 1}));
        const std::vector<Face> faces = recordedFaces();
        ASSERT_EQ(faces.size(), 12u);
        const std::vector<Args> sideTex = {{0, 1}, {1, 1}, {1, 0}, {0, 0}}, upperTex = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
        for (int f = 0; f < 12; ++f) {
            EXPECT_EQ(faces[f].mode, f % 6 < 2 ? GL_QUADS : GL_POLYGON) << "face " << f;
            EXPECT_EQ(faces[f].tex, f % 6 == 1 ? upperTex : sideTex) << "face " << f;
        }
    }
}

TEST_F(RenderScenery, TextureIndexOutsideTheTableDrawsPlain)
{
    EXPECT_EQ(textureNameAt(13), 113u);
    EXPECT_EQ(textureNameAt(-2), 0u);
    EXPECT_EQ(textureNameAt(TEXTURE_COUNT), 0u);
}
