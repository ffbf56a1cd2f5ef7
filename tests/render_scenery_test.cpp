// The pool floor and the box through the recording GL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/state.h"
#include "scenery/scenery.h"
#include "scenery/textures.h"
#include "tests/gl_recorder.h"

namespace {

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
        for (int i = 0; i < TEXTURE_COUNT; ++i)
            textureIds[i] = 0;
        resetSceneState();
    }
};

using Args = std::vector<double>;

// One face as recorded: its primitive, the colours set inside it, its
// texture coordinates and its vertices.
struct Face {
    double mode;
    std::vector<Args> colorsInside;
    std::vector<Args> texCoords;
    std::vector<Args> vertices;
};

std::vector<Face> facesOf(const std::vector<GlCall> &calls)
{
    std::vector<Face> faces;
    bool open = false;
    for (const GlCall &c : calls) {
        if (c.name == "glBegin") {
            faces.push_back(Face{c.args[0], {}, {}, {}});
            open = true;
        } else if (c.name == "glEnd") {
            open = false;
        } else if (open && c.name == "glColor4f") {
            faces.back().colorsInside.push_back(c.args);
        } else if (open && c.name == "glTexCoord2f") {
            faces.back().texCoords.push_back(c.args);
        } else if (open && c.name == "glVertex3f") {
            faces.back().vertices.push_back(c.args);
        }
    }
    return faces;
}

// The footprint corners C1..C4 at height h, in the order a face names them.
Args at(int corner, double h)
{
    const double xz[4][2] = {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}};
    return Args{xz[corner][0], h, xz[corner][1]};
}

// The six faces of a piece between lo and hi, corner for corner.
std::vector<std::vector<Args>> pieceVertices(double lo, double hi)
{
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
    drawPoolFloor();
    EXPECT_EQ(callNames(), "glEnable glBindTexture glColor4f glBegin glTexCoord2f glVertex3f glTexCoord2f glVertex3f "
                           "glTexCoord2f glVertex3f glTexCoord2f glVertex3f glEnd glDisable");
    EXPECT_EQ(glCalls[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(glCalls[1].args[1], 103) << "floor texture of set 3";
    EXPECT_EQ(glCalls[2].args, (Args{1, 1, 1, 1}));
    EXPECT_EQ(glCalls[3].args[0], GL_POLYGON);
    const std::vector<Face> f = facesOf(glCalls);
    EXPECT_EQ(f[0].texCoords, (std::vector<Args>{{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    EXPECT_EQ(f[0].vertices, (std::vector<Args>{{-20, -16, 19}, {-20, -16, -20}, {19, -16, -20}, {19, -16, 19}}));
    EXPECT_EQ(glCalls.back().args[0], GL_TEXTURE_2D);

    // Viewed from the seabed level, the floor comes up to y = 0.
    viewLevelOffset = 16.0f;
    resetGlRecorder();
    drawPoolFloor();
    const std::vector<Face> raised = facesOf(glCalls);
    ASSERT_EQ(raised.size(), 1u);
    for (const Args &v : raised[0].vertices)
        EXPECT_EQ(v[1], 0.0);
}

TEST_F(RenderScenery, BoxAboveWaterAtStartIsOnePlainRedPiece)
{
    drawBox();
    EXPECT_EQ(countCalls("glEnable") + countCalls("glDisable") + countCalls("glBindTexture"), 0)
        << "the plain box leaves texturing alone";
    ASSERT_EQ(glCalls[0].name, "glColor4f");
    EXPECT_EQ(glCalls[0].args, (Args{1, 0, 0, 1}));
    const std::vector<Face> faces = facesOf(glCalls);
    ASSERT_EQ(faces.size(), 6u);
    const auto expected = pieceVertices(20, 24);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].mode, GL_POLYGON);
        EXPECT_EQ(faces[f].vertices, expected[f]) << "face " << f;
        EXPECT_TRUE(faces[f].texCoords.empty());
        EXPECT_TRUE(faces[f].colorsInside.empty());
    }
}

TEST_F(RenderScenery, PlainCrossingBoxTurnsSeeThroughInsideTheUpperCap)
{
    boxType = 1;
    boxColor[0] = 0.0f;
    boxColor[1] = 1.0f;
    boxBottom = -3.5f;
    boxTop = 0.5f;
    drawBox();

    const std::vector<Face> faces = facesOf(glCalls);
    ASSERT_EQ(faces.size(), 12u);
    const auto upper = pieceVertices(0.0, 0.5);
    const auto lower = pieceVertices(-3.5, 0.0);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].vertices, upper[f]) << "upper piece face " << f;
        EXPECT_EQ(faces[6 + f].vertices, lower[f]) << "lower piece face " << f;
    }
    ASSERT_EQ(faces[1].colorsInside.size(), 1u);
    EXPECT_EQ(faces[1].colorsInside[0], (Args{0, 1, 0, 0.2f}));
    const auto colors = callsNamed("glColor4f");
    ASSERT_EQ(colors.size(), 3u);
    EXPECT_EQ(colors[0].args, (Args{0, 1, 0, 1})) << "lower cap of the upper piece";
    EXPECT_EQ(colors[2].args, (Args{0, 0.75, 0, 1})) << "the piece under water";
}

TEST_F(RenderScenery, CrossingAtZeroGivesAFlatLowerPiece)
{
    boxBottom = 0.0f;
    boxTop = 4.0f;
    drawBox();
    const std::vector<Face> faces = facesOf(glCalls);
    ASSERT_EQ(faces.size(), 12u);
    for (int f = 6; f < 12; ++f)
        for (const Args &v : faces[f].vertices)
            EXPECT_EQ(v[1], 0.0);
}

TEST_F(RenderScenery, SubmergedBoxIsDimmedWhole)
{
    boxBottom = -3.6f;
    boxTop = 0.4f;
    boxColor[0] = 0.0f;
    boxColor[2] = 1.0f;
    drawBox();
    const auto colors = callsNamed("glColor4f");
    ASSERT_EQ(colors.size(), 1u);
    EXPECT_EQ(colors[0].args, (Args{0, 0, 0.75, 1}));
    EXPECT_EQ(facesOf(glCalls).size(), 6u);
}

TEST_F(RenderScenery, TexturedBoxByScenerySet)
{
    const int sets[2][2] = {{6, 112}, {9, 113}};
    for (const auto &set : sets) {
        envIndex = set[0];
        boxBottom = -2.0f;
        boxTop = 2.0f;
        resetGlRecorder();
        drawBox();

        // Each piece: texturing on, its texture, its colour, six faces, off.
        const auto binds = callsNamed("glBindTexture");
        ASSERT_EQ(binds.size(), 2u);
        EXPECT_EQ(binds[0].args[1], set[1]);
        EXPECT_EQ(binds[1].args[1], set[1]);
        EXPECT_EQ(countCalls("glEnable"), 2);
        EXPECT_EQ(countCalls("glDisable"), 2);
        EXPECT_EQ(glCalls.back().name, "glDisable");

        const auto colors = callsNamed("glColor4f");
        ASSERT_EQ(colors.size(), 3u);
        EXPECT_EQ(colors[0].args, (Args{1, 1, 1, 1}));
        EXPECT_EQ(colors[1].args, (Args{1, 1, 1, 0.2f})) << "set before the upper cap";
        EXPECT_EQ(colors[2].args, (Args{0.75, 0.75, 0.75, 1}));

        const std::vector<Face> faces = facesOf(glCalls);
        ASSERT_EQ(faces.size(), 12u);
        const std::vector<std::vector<Args>> tex = {{{0, 1}, {1, 1}, {1, 0}, {0, 0}},
                                                    {{1, 1}, {0, 1}, {0, 0}, {1, 0}}};
        for (int f = 0; f < 12; ++f) {
            const int inPiece = f % 6;
            EXPECT_EQ(faces[f].mode, inPiece < 2 ? GL_QUADS : GL_POLYGON) << "face " << f;
            EXPECT_TRUE(faces[f].colorsInside.empty());
            EXPECT_EQ(faces[f].texCoords, inPiece == 1 ? tex[1] : tex[0]) << "face " << f;
        }
    }
}

TEST_F(RenderScenery, ViewLevelRaisesEveryBoxHeight)
{
    viewLevelOffset = 16.0f;
    drawBox();
    const auto expected = pieceVertices(36, 40);
    const std::vector<Face> faces = facesOf(glCalls);
    ASSERT_EQ(faces.size(), 6u);
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(faces[f].vertices, expected[f]);
}
