#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/camera.h"
#include "app/input.h"
#include "core/state.h"
#include "tests/gl_recorder.h"
#include "tests/scene_reset.h"
#include "tests/view_matrices.h"
#include "water/mesh.h"

namespace {

class Mouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        ASSERT_EQ(buildWaterMeshData(), 1);
        placeEye();
        resetGlRecorder();
    }
    void TearDown() override
    {
        resetSceneState();
        resetGlRecorder();
    }
};

int disturbedVertices()
{
    int n = 0;
    for (const auto &row : waveDisplacement)
        for (float d : row)
            n += d != 0.0f;
    return n;
}

}  // namespace

TEST_F(Mouse, ReshapeSetsViewportAndPerspective)
{
    reshapeWindow(400, 200);
    EXPECT_EQ(callNames(), "glViewport glMatrixMode glLoadIdentity gluPerspective glMatrixMode glLoadIdentity");
    EXPECT_EQ(glCalls[0].args, (std::vector<double>{0, 0, 400, 200}));
    EXPECT_EQ(glCalls[1].args, (std::vector<double>{GL_PROJECTION}));
    EXPECT_EQ(glCalls[3].args, (std::vector<double>{60.0, 2.0, 0.01, 10000.0}));
    EXPECT_EQ(glCalls[4].args, (std::vector<double>{GL_MODELVIEW}));
    EXPECT_EQ(winWidth, 400);
    EXPECT_EQ(winHeight, 200);

    resetGlRecorder();
    reshapeWindow(300, 0);
    EXPECT_EQ(callsNamed("gluPerspective")[0].args, (std::vector<double>{60.0, 300.0, 0.01, 10000.0}));
}

TEST_F(Mouse, ButtonsSetTheirFlagsAndThePointer)
{
    handleMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);
    handleMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 11, 21);
    EXPECT_EQ(leftButtonDown + rightButtonDown, 2);
    handleMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 12, 22);
    EXPECT_EQ(leftButtonDown, 0);
    EXPECT_EQ(rightButtonDown, 1);
    handleMouseButton(GLUT_RIGHT_BUTTON, GLUT_UP, 13, 23);
    EXPECT_EQ(rightButtonDown, 0);

    // The middle button's release and unknown buttons (a wheel) only move the pointer.
    handleMouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, 14, 24);
    handleMouseButton(3, GLUT_DOWN, 15, 25);
    EXPECT_EQ(mouseX, 15);
    EXPECT_EQ(mouseY, 25);
    EXPECT_TRUE(glCalls.empty()) << callNames();
    EXPECT_EQ(disturbedVertices(), 0);
}

TEST_F(Mouse, MiddleClickStampsTheVertexSeenUnderThePointer)
{
    // A tall window looked at from high above: the pointer's y must be
    // turned round with the viewport the program reads back.
    camTheta = 0.3f;
    placeEye();
    const int viewport[4] = {0, 0, 500, 700};
    std::memcpy(recordedViewport, viewport, sizeof viewport);
    perspectiveMatrix(FIELD_OF_VIEW, perspectiveAspect(500, 700), NEAR_PLANE, FAR_PLANE, recordedProjection);
    lookAtOriginMatrix(eyeX, eyeY, eyeZ, recordedModelview);

    const double vertex[3] = {gridCoord(35), 0.0, gridCoord(80)};
    double window[3];
    ASSERT_EQ(projectToWindow(vertex, recordedModelview, recordedProjection, recordedViewport, window), 1);
    const int x = static_cast<int>(std::lround(window[0]));
    const int y = 700 - static_cast<int>(std::lround(window[1]));
    handleMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, x, y);

    EXPECT_EQ(callNames(), "glGetIntegerv glGetDoublev glGetDoublev");
    EXPECT_EQ(callsNamed("glGetIntegerv")[0].args, (std::vector<double>{GL_VIEWPORT}));
    const auto matrices = callsNamed("glGetDoublev");
    EXPECT_EQ(matrices[0].args, (std::vector<double>{GL_PROJECTION_MATRIX}));
    EXPECT_EQ(matrices[1].args, (std::vector<double>{GL_MODELVIEW_MATRIX}));
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            EXPECT_EQ(waveDisplacement[35 + di][80 + dj], di == 0 && dj == 0 ? -20.0f : -5.0f);
    EXPECT_EQ(disturbedVertices(), 9);

    // The sky above the pool.
    resetWaterGrids();
    handleMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 2, 2);
    EXPECT_EQ(disturbedVertices(), 0);
}

TEST_F(Mouse, DragTurnsOrZoomsAndDrawsAFrameAtOnce)
{
    handleMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    const float phi = camPhi;
    handleMouseMotion(90, 100);
    EXPECT_EQ(camPhi, static_cast<float>(phi + 10.0 * DEG_TO_RAD));
    EXPECT_EQ(countCalls("glutSwapBuffers"), 1);
    const auto look = callsNamed("gluLookAt");
    ASSERT_EQ(look.size(), 1u);
    EXPECT_EQ(look[0].args, (std::vector<double>{eyeX, eyeY, eyeZ, 0, 0, 0, 0, 1, 0}));
    EXPECT_GT(eyeX, eyeZ) << "turned toward +x";
    EXPECT_EQ(countCalls("glutPostRedisplay"), 0);

    handleMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 90, 100);
    handleMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 90, 100);
    resetGlRecorder();
    handleMouseMotion(90, 120);
    EXPECT_EQ(camRadius, 47.0f);
    EXPECT_EQ(callsNamed("gluLookAt")[0].args, (std::vector<double>{eyeX, eyeY, eyeZ, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(countCalls("glutSwapBuffers"), 1);
}
