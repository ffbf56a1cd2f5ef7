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
        for (int i = 0; i < TEXTURE_COUNT; ++i)
            textureIds[i] = 0;
        dropletDrawer = nullptr;
        resetSceneState();
    }
};

std::string enumName(double value)
{
    switch (static_cast<GLenum>(value)) {
    case GL_BLEND: return "BLEND";
    case GL_DEPTH_TEST: return "DEPTH";
    case GL_TEXTURE_2D: return "TEX";
    case GL_TEXTURE_GEN_S: return "GEN_S";
    case GL_TEXTURE_GEN_T: return "GEN_T";
    default: return std::to_string(static_cast<long>(value));
    }
}

// The frame's state changes and texture binds, one string each, leaving out
// the primitives and their vertices.
std::vector<std::string> stateCalls()
{
    std::vector<std::string> out;
    for (const GlCall &c : glCalls) {
        if (c.name == "glEnable" || c.name == "glDisable")
            out.push_back(c.name + " " + enumName(c.args[0]));
        else if (c.name == "glBindTexture")
            out.push_back("bind " + std::to_string(static_cast<int>(c.args[1])));
        else if (c.name == "glPolygonMode")
            out.push_back(c.args[1] == GL_FILL ? "fill" : c.args[1] == GL_LINE ? "line" : "mode?");
        else if (c.name == "glBlendFunc")
            out.push_back(c.args[0] == GL_SRC_ALPHA && c.args[1] == GL_ONE ? "additive" : "blend?");
        else if (c.name == "glClear" || c.name == "glLoadIdentity" || c.name == "gluLookAt" ||
                 c.name == "glShadeModel" || c.name == "glutSwapBuffers")
            out.push_back(c.name);
    }
    return out;
}

// Index of the first call named name with first argument arg, from start on.
size_t findCall(const std::string &name, double arg, size_t start = 0)
{
    for (size_t i = start; i < glCalls.size(); ++i)
        if (glCalls[i].name == name && !glCalls[i].args.empty() && glCalls[i].args[0] == arg)
            return i;
    return glCalls.size();
}

}  // namespace

TEST_F(RenderFrame, StartFrameOrderAndState)
{
    drawFrame();
    const std::vector<std::string> expected = {
        "glClear", "glEnable BLEND", "additive", "glLoadIdentity", "gluLookAt",
        // the pool floor, opaque
        "glDisable BLEND", "glEnable TEX", "bind 100", "glDisable TEX", "glEnable BLEND", "additive",
        "fill",
        // the reflecting water, then the two walls
        "glEnable TEX", "glEnable GEN_S", "glEnable GEN_T", "bind 101", "glDisable GEN_S", "glDisable GEN_T",
        "glDisable TEX", "glEnable TEX", "bind 102", "glDisable TEX",
        "glDisable DEPTH", "glShadeModel", "glutSwapBuffers"};
    EXPECT_EQ(stateCalls(), expected);
    EXPECT_EQ(glCalls[0].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(callsNamed("glShadeModel")[0].args[0], GL_SMOOTH);

    // The caustics come between the floor and the water as one batch (empty
    // over calm water).
    const size_t caustics = findCall("glBegin", GL_TRIANGLES);
    EXPECT_GT(caustics, findCall("glPolygonMode", GL_FRONT_AND_BACK));
    EXPECT_LT(caustics, findCall("glEnable", GL_TEXTURE_GEN_S));
    EXPECT_EQ(glCalls[caustics + 1].name, "glEnd");
}

TEST_F(RenderFrame, BoxFramesDepthTestFromTheBoxOn)
{
    showBox = 1;
    drawFrame();
    const std::vector<std::string> calls = stateCalls();
    const std::vector<std::string> expectedStart = {
        "glClear", "glEnable BLEND", "additive", "glLoadIdentity", "gluLookAt",
        "glDisable BLEND", "glEnable TEX", "bind 100", "glDisable TEX", "glEnable BLEND", "additive",
        "fill", "glDisable BLEND", "glEnable DEPTH", "glEnable BLEND", "additive", "glEnable TEX"};
    ASSERT_GE(calls.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expectedStart.size()), expectedStart);
    EXPECT_EQ(calls[calls.size() - 3], "glDisable DEPTH");

    // The box's six faces sit between the depth test going on and blending
    // coming back, then the caustics follow.
    const size_t depthOn = findCall("glEnable", GL_DEPTH_TEST);
    const size_t blendBack = findCall("glEnable", GL_BLEND, depthOn);
    int faces = 0;
    for (size_t i = depthOn; i < blendBack; ++i)
        faces += glCalls[i].name == "glBegin";
    EXPECT_EQ(faces, 6);
    EXPECT_GT(findCall("glBegin", GL_TRIANGLES), blendBack);
}

TEST_F(RenderFrame, WireMeshReachesTheFloorOneFrameLate)
{
    showMesh = 0;
    drawFrame();
    const size_t floor = findCall("glBegin", GL_POLYGON);
    const size_t mode = findCall("glPolygonMode", GL_FRONT_AND_BACK);
    ASSERT_LT(floor, glCalls.size());
    ASSERT_LT(mode, glCalls.size());
    EXPECT_LT(floor, mode) << "the floor is drawn in the mode the last frame left";
    EXPECT_EQ(glCalls[mode].args[1], GL_LINE);
    EXPECT_LT(mode, findCall("glBegin", GL_TRIANGLES));
    EXPECT_LT(mode, findCall("glBegin", GL_QUADS));
}

TEST_F(RenderFrame, BareFrameStillComputesAndDrawsThePlainWater)
{
    showPoolBottom = 0;
    showBox = 0;
    showCaustics = 0;
    showEnvironment = 0;
    envIndex = -3;
    for (int n = 0; n < triangleCount; ++n) {
        waterTriangles[n].shade = -1.0f;
        waterTriangles[n].areaRatio = -1.0f;
    }
    drawFrame();
    const std::vector<std::string> expected = {"glClear", "glEnable BLEND", "additive", "glLoadIdentity",
                                               "gluLookAt", "fill", "glDisable DEPTH", "glShadeModel",
                                               "glutSwapBuffers"};
    EXPECT_EQ(stateCalls(), expected);
    EXPECT_EQ(countCalls("glBegin"), triangleCount) << "only the water's triangles";

    // Shade and area ratio are fresh although no caustic is drawn.
    for (int n : {0, 13455, 13456, 26911}) {
        EXPECT_EQ(waterTriangles[n].shade, 0.85f);
        EXPECT_NEAR(waterTriangles[n].areaRatio, 0.39f, 0.01f);
    }
}

TEST_F(RenderFrame, SceneryChoosesTheTexturesOfItsSet)
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

    // Without scenery the floor keeps whatever 't' chose.
    showEnvironment = 0;
    envIndex = -3;
    bottomIndex = 6;
    resetGlRecorder();
    drawFrame();
    EXPECT_EQ(bottomIndex, 6);
    ASSERT_EQ(countCalls("glBindTexture"), 1);
    EXPECT_EQ(callsNamed("glBindTexture")[0].args[1], 106);
}

TEST_F(RenderFrame, DropletsComeLastWithoutDepthTest)
{
    dropletDrawer = drawDropletSphere;
    showBox = 1;
    dropletCount = 10;
    createSplash(0.0f, 0.0f, 1.0f);
    drawFrame();
    const size_t depthOff = findCall("glDisable", GL_DEPTH_TEST);
    size_t firstSphere = 0;
    while (firstSphere < glCalls.size() && glCalls[firstSphere].name != "glutSolidSphere")
        ++firstSphere;
    EXPECT_EQ(countCalls("glutSolidSphere"), 10);
    EXPECT_GT(firstSphere, depthOff);
    EXPECT_EQ(glCalls.back().name, "glutSwapBuffers");
}
