// The frame through the recording GL: the order of its pieces and the GL
// state (blending, depth test, polygon mode, textures) that runs through it.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "app/state.h"
#include "render/frame.h"
#include "scenery/textures.h"
#include "tests/gl_recorder.h"
#include "water/droplets.h"
#include "water/mesh.h"

namespace {

using Strings = std::vector<std::string>;

class RenderFrame : public ::testing::Test {
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

// The frame's state changes, texture binds and pieces, one word each; a run
// of primitives shows once as "draw", the droplets' spheres as "sphere".
Strings frameOutline()
{
    Strings out;
    auto add = [&](const std::string &s) {
        if (out.empty() || out.back() != s || s == "glClear")
            out.push_back(s);
    };
    for (const GlCall &c : glCalls) {
        const GLenum a = c.args.empty() ? 0 : static_cast<GLenum>(c.args[0]);
        const std::string cap = a == GL_BLEND ? "blend" : a == GL_DEPTH_TEST ? "depth" : a == GL_TEXTURE_2D ? "tex"
                                                                                                            : "gen";
        if (c.name == "glEnable" || c.name == "glDisable")
            add((c.name == "glEnable" ? "+" : "-") + cap);
        else if (c.name == "glBindTexture")
            add("bind " + std::to_string(static_cast<int>(c.args[1])));
        else if (c.name == "glPolygonMode")
            add(c.args[1] == GL_FILL ? "fill" : "line");
        else if (c.name == "glBlendFunc")
            add(c.args[0] == GL_SRC_ALPHA && c.args[1] == GL_ONE ? "additive" : "other blend");
        else if (c.name == "glBegin")
            add(c.args[0] == GL_TRIANGLES ? "triangles" : "draw");
        else if (c.name == "glutSolidSphere")
            add("sphere");
        else if (c.name == "glClear" || c.name == "gluLookAt" || c.name == "glShadeModel" || c.name == "glutSwapBuffers")
            add(c.name);
    }
    return out;
}

}  // namespace

TEST_F(RenderFrame, StartFrame)
{
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt",
                                       "-blend", "+tex", "bind 100", "draw", "-tex", "+blend", "additive",  // floor
                                       "fill", "triangles",                                                  // caustics
                                       "+tex", "+gen", "bind 101", "draw", "-gen", "-tex",                   // water
                                       "+tex", "bind 102", "draw", "-tex",                                   // walls
                                       "-depth", "glShadeModel", "glutSwapBuffers"}));
    EXPECT_EQ(glCalls[0].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(callsNamed("glShadeModel")[0].args[0], GL_SMOOTH);
}

TEST_F(RenderFrame, BoxDepthTestedFromTheBoxToTheDropletsAndWireMeshAfterTheFloor)
{
    showBox = 1;
    showMesh = 0;
    dropletDrawer = drawDropletSphere;
    dropletCount = 10;
    createSplash(0.0f, 0.0f, 1.0f);
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt",
                                       "-blend", "+tex", "bind 100", "draw", "-tex", "+blend", "additive",
                                       "line", "-blend", "+depth", "draw", "+blend", "additive",  // the box
                                       "triangles",
                                       "+tex", "+gen", "bind 101", "draw", "-gen", "-tex",
                                       "+tex", "bind 102", "draw", "-tex",
                                       "-depth", "glShadeModel", "sphere", "glutSwapBuffers"}));
    EXPECT_EQ(countCalls("glutSolidSphere"), 10);
}

TEST_F(RenderFrame, BareFrameStillComputesShadeAndAreaRatio)
{
    showPoolBottom = showBox = showCaustics = showEnvironment = 0;
    envIndex = -3;
    for (int n = 0; n < triangleCount; ++n)
        waterTriangles[n].shade = waterTriangles[n].areaRatio = -1.0f;
    drawFrame();
    EXPECT_EQ(frameOutline(), (Strings{"glClear", "+blend", "additive", "gluLookAt", "fill", "triangles",
                                       "-depth", "glShadeModel", "glutSwapBuffers"}));
    EXPECT_EQ(countCalls("glBegin"), triangleCount) << "only the water's triangles";
    for (int n : {0, 13455, 13456, 26911}) {
        EXPECT_EQ(waterTriangles[n].shade, 0.85f);
        EXPECT_NEAR(waterTriangles[n].areaRatio, 0.39f, 0.01f);
    }
}

TEST_F(RenderFrame, ScenerySetChoosesFloorWaterAndWallTextures)
{
    envIndex = 3;
    bottomIndex = 9;
    drawFrame();
    EXPECT_EQ(bottomIndex, 3);
    const auto binds = callsNamed("glBindTexture");
    ASSERT_EQ(binds.size(), 3u);
    EXPECT_EQ(binds[0].args[1], 103);  // floor
    EXPECT_EQ(binds[1].args[1], 104);  // reflection
    EXPECT_EQ(binds[2].args[1], 105);  // walls

    // Without scenery the floor keeps what the last frame with scenery or 't' chose.
    showEnvironment = 0;
    envIndex = -3;
    resetGlRecorder();
    drawFrame();
    EXPECT_EQ(bottomIndex, 3);
    ASSERT_EQ(countCalls("glBindTexture"), 1);
    EXPECT_EQ(callsNamed("glBindTexture")[0].args[1], 103);
}
