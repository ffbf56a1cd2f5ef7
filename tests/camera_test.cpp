#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/camera.h"
#include "core/state.h"
#include "tests/scene_reset.h"
#include "tests/view_matrices.h"
#include "water/mesh.h"

namespace {

class Camera : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        placeEye();
    }
    void TearDown() override { resetSceneState(); }
};

// The eye for the current angles and radius, written out independently.
void expectEyeOnSphere()
{
    const double r = camRadius, phi = camPhi, theta = camTheta;
    EXPECT_EQ(eyeX, static_cast<float>(r * std::sin(phi) * std::sin(theta)));
    EXPECT_EQ(eyeY, static_cast<float>(r * std::cos(theta)));
    EXPECT_EQ(eyeZ, static_cast<float>(r * std::cos(phi) * std::sin(theta)));
}

// The matrices the program reads back after a frame from the current eye in
// a square window of size pixels.
struct View {
    int viewport[4] = {0, 0, 0, 0};
    double projection[16];
    double modelview[16];

    explicit View(int size)
    {
        viewport[2] = viewport[3] = size;
        perspectiveMatrix(FIELD_OF_VIEW, 1.0, NEAR_PLANE, FAR_PLANE, projection);
        lookAtOriginMatrix(eyeX, eyeY, eyeZ, modelview);
    }

    // The pointer (toolkit coordinates, y from the top) on the drawn vertex (i, j).
    void pointerOn(int i, int j, int *x, int *y) const
    {
        const double vertex[3] = {gridCoord(i), static_cast<float>(waterHeight[i][j] + viewLevelOffset), gridCoord(j)};
        double window[3];
        EXPECT_EQ(projectToWindow(vertex, modelview, projection, viewport, window), 1);
        *x = static_cast<int>(std::lround(window[0]));
        *y = viewport[3] - static_cast<int>(std::lround(window[1]));
    }

    int pick(int x, int y, int *row, int *col) const
    {
        return pickWaterVertex(viewport, projection, modelview, x, y, row, col);
    }
};

}  // namespace

TEST_F(Camera, LeftDragTurnsOneDegreePerPixel)
{
    leftButtonDown = 1;
    mouseX = mouseY = 100;
    const float phi = camPhi, theta = camTheta;
    dragCamera(99, 100);
    EXPECT_EQ(camPhi, static_cast<float>(phi + double(DEG_TO_RAD)));
    EXPECT_EQ(camTheta, theta);
    EXPECT_EQ(camRadius, 44.0f);
    expectEyeOnSphere();

    // Up the window raises the polar angle: the eye goes down toward the water.
    dragCamera(99, 90);
    EXPECT_EQ(camTheta, static_cast<float>(theta + 10.0 * DEG_TO_RAD));
    EXPECT_LT(eyeY, 7.6405215f);
    expectEyeOnSphere();
}

TEST_F(Camera, PolarAngleStopsShortOfThePoles)
{
    leftButtonDown = 1;
    for (int step = 1; step <= 400; ++step)
        dragCamera(0, -step);
    EXPECT_EQ(camTheta, 3.13f);
    expectEyeOnSphere();
    for (int step = 1; step <= 400; ++step)
        dragCamera(0, -400 + step);
    EXPECT_EQ(camTheta, 0.01f);
    expectEyeOnSphere();

    // A step that lands exactly on 0 counts as reaching the pole.
    camTheta = DEG_TO_RAD;
    mouseY = 5;
    dragCamera(0, 6);
    EXPECT_EQ(camTheta, 0.01f);
}

TEST_F(Camera, RightDragZoomsAlongTheEyeDirection)
{
    rightButtonDown = 1;
    mouseY = 50;
    dragCamera(0, 150);
    EXPECT_EQ(camRadius, 59.0f);
    EXPECT_NEAR(eyeX, 30.640026 * 59.0 / 44.0, 1e-5);
    EXPECT_NEAR(eyeY, 7.6405215 * 59.0 / 44.0, 1e-5);
    EXPECT_EQ(eyeX, eyeZ);

    dragCamera(0, -5000);
    EXPECT_EQ(camRadius, 0.1f);
    EXPECT_NEAR(std::sqrt(double(eyeX) * eyeX + double(eyeY) * eyeY + double(eyeZ) * eyeZ), 0.1, 1e-6);
    EXPECT_NEAR(eyeY / eyeX, 7.6405215 / 30.640026, 1e-4) << "the direction is kept";
}

TEST_F(Camera, LeftTakesPrecedenceAndOtherDragsOnlyMoveThePointer)
{
    leftButtonDown = rightButtonDown = 1;
    mouseX = mouseY = 10;
    dragCamera(10, 30);
    EXPECT_EQ(camRadius, 44.0f);
    EXPECT_EQ(camTheta, static_cast<float>(1.3962634f - 20.0 * DEG_TO_RAD));

    leftButtonDown = rightButtonDown = 0;  // the middle button alone
    const float phi = camPhi, theta = camTheta, x = eyeX;
    dragCamera(70, 80);
    EXPECT_EQ(camPhi, phi);
    EXPECT_EQ(camTheta, theta);
    EXPECT_EQ(eyeX, x);
    EXPECT_EQ(mouseX, 70);
    EXPECT_EQ(mouseY, 80);
}

TEST_F(Camera, AspectAndProjectionArithmetic)
{
    EXPECT_EQ(perspectiveAspect(400, 200), 2.0);
    EXPECT_EQ(perspectiveAspect(300, 0), 300.0) << "a minimised window counts as one pixel high";

    // Eye moved back by 5; a 90-degree perspective with near 1 and far 9.
    double modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1};
    const double projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.25, -1, 0, 0, -2.25, 0};
    const int viewport[4] = {10, 20, 200, 100};
    const double point[3] = {1.0, 2.0, 0.0};
    double window[3];
    ASSERT_EQ(projectToWindow(point, modelview, projection, viewport, window), 1);
    EXPECT_DOUBLE_EQ(window[0], 130.0);
    EXPECT_DOUBLE_EQ(window[1], 90.0);
    EXPECT_DOUBLE_EQ(window[2], 0.9);
    modelview[14] = 0.0;  // the point now lies in the eye's own plane
    EXPECT_EQ(projectToWindow(point, modelview, projection, viewport, window), 0);
}

TEST_F(Camera, ClickStampsTheVertexDrawnUnderThePointer)
{
    // Seen from high above, neighbouring vertices lie pixels apart, so the
    // vertex under the pointer is the one that was aimed at, also when the
    // seabed view lifts the drawn surface and a crest lifts it further.
    camTheta = 0.3f;
    placeEye();
    const View view(600);
    const int targets[][2] = {{5, 5}, {5, 112}, {112, 5}, {112, 112}, {20, 90}, {97, 31}};
    for (float offset : {0.0f, 16.0f}) {
        viewLevelOffset = offset;
        waterHeight[20][90] = 0.5f;
        for (const auto &t : targets) {
            resetWaterGrids();
            int x = 0, y = 0, row = -1, col = -1;
            view.pointerOn(t[0], t[1], &x, &y);
            ASSERT_EQ(view.pick(x, y, &row, &col), 1);
            EXPECT_EQ(row, t[0]) << "offset " << offset;
            EXPECT_EQ(col, t[1]) << "offset " << offset;
            ASSERT_EQ(rippleAtPointer(view.viewport, view.projection, view.modelview, x, y), 1);
            EXPECT_EQ(waveDisplacement[t[0]][t[1]], -20.0f);
            EXPECT_EQ(waveDisplacement[t[0] - 1][t[1] + 1], -5.0f);
            EXPECT_EQ(waveDisplacement[t[0] + 1][t[1] - 1], -5.0f);
        }
    }
}

TEST_F(Camera, ClickAtTheStartCameraLandsWhereThePointerIs)
{
    // From the start eye the surface is seen at a grazing angle and far
    // vertices crowd within a pixel of each other; the ripple must still
    // start within a few cells of the vertex under the pointer, and exactly
    // on it near the eye, where vertices lie pixels apart.
    const View view(300);
    int x = 0, y = 0, row = -1, col = -1;
    for (int i = 8; i <= 112; i += 8)
        for (int j = 8; j <= 112; j += 8) {
            view.pointerOn(i, j, &x, &y);
            ASSERT_EQ(view.pick(x, y, &row, &col), 1);
            EXPECT_LE(std::abs(row - i), 3) << i << ", " << j;
            EXPECT_LE(std::abs(col - j), 3) << i << ", " << j;
        }
    view.pointerOn(110, 110, &x, &y);
    ASSERT_EQ(view.pick(x, y, &row, &col), 1);
    EXPECT_EQ(row, 110);
    EXPECT_EQ(col, 110);
}

TEST_F(Camera, PickToleranceAndMisses)
{
    // Looking nearly straight down from 10 units, a cell spans about 17 pixels.
    camTheta = 0.01f;
    camRadius = 10.0f;
    placeEye();
    const View view(600);
    int x = 0, y = 0, row = -1, col = -1;
    view.pointerOn(60, 60, &x, &y);
    // Four pixels off on any side still hits; six (more than five after
    // rounding) hits nothing.
    const int sides[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &d : sides) {
        row = col = -1;
        EXPECT_EQ(view.pick(x + 4 * d[0], y + 4 * d[1], &row, &col), 1);
        EXPECT_EQ(row, 60);
        EXPECT_EQ(col, 60);
        EXPECT_EQ(view.pick(x + 6 * d[0], y + 6 * d[1], &row, &col), 0) << d[0] << ", " << d[1];
    }

    // The window's corner shows no water at all.
    EXPECT_EQ(rippleAtPointer(view.viewport, view.projection, view.modelview, 2, 2), 0);
    for (const auto &r : waveDisplacement)
        for (float d : r)
            ASSERT_EQ(d, 0.0f);
}

TEST_F(Camera, EqualDistancesGoToTheFirstVertexInRowMajorOrder)
{
    // A model-view that drops the x coordinate draws every row on the same
    // pixels, so all rows tie; the first pickable row wins.
    const int viewport[4] = {0, 0, 300, 300};
    const double projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double modelview[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0.05, 0, 0, 0, 0, 0, 1};
    // Column 70 is drawn at y = 150 + 150 x 0.05 z.
    const int y = 300 - static_cast<int>(std::lround(150.0 + 7.5 * gridCoord(70)));
    int row = -1, col = -1;
    ASSERT_EQ(pickWaterVertex(viewport, projection, modelview, 150, y, &row, &col), 1);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(col, 70);
}

TEST_F(Camera, VerticesBehindTheEyeAreNotPicked)
{
    // Standing at (0, 1, 0) just above the water and looking along +x, the
    // vertices behind the eye project, mirrored, into the sky in front of it.
    const int viewport[4] = {0, 0, 300, 300};
    double projection[16];
    perspectiveMatrix(FIELD_OF_VIEW, 1.0, NEAR_PLANE, FAR_PLANE, projection);
    const double modelview[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1};
    int row = -1, col = -1;
    for (int i : {30, 100}) {
        const double vertex[3] = {gridCoord(i), 0.0, gridCoord(60)};
        double window[3];
        ASSERT_EQ(projectToWindow(vertex, modelview, projection, viewport, window), 1);
        const int found = pickWaterVertex(viewport, projection, modelview, static_cast<int>(std::lround(window[0])),
                                          300 - static_cast<int>(std::lround(window[1])), &row, &col);
        if (i == 30) {
            EXPECT_GT(window[1], 150.0) << "the mirrored image lies above the horizon";
            EXPECT_EQ(found, 0);
        } else {
            EXPECT_EQ(found, 1);
            EXPECT_EQ(col, 60);
        }
    }
}
