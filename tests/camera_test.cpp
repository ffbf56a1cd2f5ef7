#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/camera.h"
#include "app/state.h"
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

double eyeLength()
{
    return std::sqrt(double(eyeX) * eyeX + double(eyeY) * eyeY + double(eyeZ) * eyeZ);
}

}  // namespace

TEST_F(Camera, LeftDragTurnsOneDegreePerPixel)
{
    leftButtonDown = 1;
    mouseX = 100;
    mouseY = 100;
    const float phi = camPhi, theta = camTheta;
    dragCamera(99, 100);
    EXPECT_EQ(camPhi, static_cast<float>(phi + double(DEG_TO_RAD)));
    EXPECT_EQ(camTheta, theta);
    EXPECT_EQ(camRadius, 44.0f);
    expectEyeOnSphere();
    EXPECT_EQ(mouseX, 99);

    // Up the window raises the polar angle: the eye goes down toward the water.
    dragCamera(99, 90);
    EXPECT_EQ(camTheta, static_cast<float>(theta + 10.0 * DEG_TO_RAD));
    EXPECT_LT(eyeY, 7.6405215f);
    expectEyeOnSphere();

    // The azimuth is not wrapped to one turn.
    for (int n = 0; n < 8; ++n)
        dragCamera(99 - 100 * (n + 1), 90);
    EXPECT_GT(camPhi, 14.0f);
}

TEST_F(Camera, PolarAngleStopsShortOfThePoles)
{
    leftButtonDown = 1;
    mouseY = 0;
    for (int step = 1; step <= 400; ++step)
        dragCamera(0, -step);
    EXPECT_EQ(camTheta, 3.13f);
    expectEyeOnSphere();

    for (int step = 1; step <= 400; ++step)
        dragCamera(0, -400 + step);
    EXPECT_EQ(camTheta, 0.01f);
    expectEyeOnSphere();

    // One step that lands exactly on 0 counts as reaching the pole.
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
    EXPECT_NEAR(eyeLength(), 59.0, 1e-4);

    dragCamera(0, -5000);
    EXPECT_EQ(camRadius, 0.1f);
    EXPECT_NEAR(eyeLength(), 0.1, 1e-6);
    EXPECT_NEAR(eyeY / eyeX, 7.6405215 / 30.640026, 1e-4) << "the direction is kept";
    EXPECT_EQ(mouseY, -5000);
}

TEST_F(Camera, LeftTakesPrecedenceAndOtherDragsOnlyMoveThePointer)
{
    leftButtonDown = rightButtonDown = 1;
    mouseX = 10;
    mouseY = 10;
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

TEST_F(Camera, AspectOfAMinimisedWindow)
{
    EXPECT_EQ(perspectiveAspect(400, 200), 2.0);
    EXPECT_EQ(perspectiveAspect(300, 0), 300.0);
    EXPECT_EQ(perspectiveAspect(0, 0), 0.0);
}

TEST_F(Camera, ProjectionMatchesTheMatrixArithmetic)
{
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

    // A point in the eye's own plane has no projection.
    modelview[14] = 0.0;
    const double inEyePlane[3] = {1.0, 2.0, 0.0};
    EXPECT_EQ(projectToWindow(inEyePlane, modelview, projection, viewport, window), 0);
}

namespace {

// The matrices of a 300 x 300 window looking from the current eye, as the
// program would read them back after a frame.
struct View {
    int viewport[4] = {0, 0, 300, 300};
    double projection[16];
    double modelview[16];

    explicit View(int size = 300)
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
};

}  // namespace

TEST_F(Camera, TheCameraLooksAtTheOrigin)
{
    const View view;
    const double origin[3] = {0, 0, 0}, above[3] = {0, 1, 0};
    double window[3];
    projectToWindow(origin, view.modelview, view.projection, view.viewport, window);
    EXPECT_NEAR(window[0], 150.0, 1e-9);
    EXPECT_NEAR(window[1], 150.0, 1e-9);
    projectToWindow(above, view.modelview, view.projection, view.viewport, window);
    EXPECT_GT(window[1], 150.0) << "up in the world is up on the screen";
}

TEST_F(Camera, ClickFromAboveStampsTheVertexUnderThePointer)
{
    // Seen from high above, neighbouring vertices lie pixels apart, so the
    // vertex under the pointer is the one that was aimed at.
    camTheta = 0.3f;
    placeEye();
    const View view(600);
    const int targets[][2] = {{5, 5}, {5, 112}, {112, 5}, {112, 112}, {58, 58}, {20, 90}, {97, 31}, {64, 7}};
    for (const auto &t : targets) {
        resetWaterGrids();
        int x = 0, y = 0, row = -1, col = -1;
        view.pointerOn(t[0], t[1], &x, &y);
        ASSERT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x, y, &row, &col), 1);
        EXPECT_EQ(row, t[0]);
        EXPECT_EQ(col, t[1]);
        ASSERT_EQ(rippleAtPointer(view.viewport, view.projection, view.modelview, x, y), 1);
        EXPECT_EQ(waveDisplacement[t[0]][t[1]], -20.0f);
        EXPECT_EQ(waveDisplacement[t[0] - 1][t[1] + 1], -5.0f);
        EXPECT_EQ(waveDisplacement[t[0] + 1][t[1] - 1], -5.0f);
    }
}

TEST_F(Camera, ClickAtTheStartCameraLandsWhereThePointerIs)
{
    // From the start eye the surface is seen at a grazing angle and far
    // vertices crowd within a pixel of each other; the ripple must still
    // start within a few cells of the vertex under the pointer, and exactly
    // on it near the eye, where vertices lie pixels apart.
    const View view;
    for (int i = 8; i <= 112; i += 8)
        for (int j = 8; j <= 112; j += 8) {
            int x = 0, y = 0, row = -1, col = -1;
            view.pointerOn(i, j, &x, &y);
            ASSERT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x, y, &row, &col), 1);
            EXPECT_LE(std::abs(row - i), 3) << i << ", " << j;
            EXPECT_LE(std::abs(col - j), 3) << i << ", " << j;
        }
    int x = 0, y = 0, row = -1, col = -1;
    view.pointerOn(110, 110, &x, &y);
    ASSERT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x, y, &row, &col), 1);
    EXPECT_EQ(row, 110);
    EXPECT_EQ(col, 110);
}

TEST_F(Camera, PickUsesTheDrawnHeight)
{
    // From the seabed view the surface is drawn 16 units higher, and a
    // raised crest higher still: the pick must aim where they are drawn.
    camTheta = 0.3f;
    placeEye();
    const View view(600);
    viewLevelOffset = 16.0f;
    waterHeight[40][70] = 0.5f;
    int x = 0, y = 0, row = -1, col = -1;
    view.pointerOn(40, 70, &x, &y);
    ASSERT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x, y, &row, &col), 1);
    EXPECT_EQ(row, 40);
    EXPECT_EQ(col, 70);
    EXPECT_EQ(waveDisplacement[40][70], 0.0f) << "picking alone stamps nothing";
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

    // Four pixels off still hits; six pixels off (more than five after
    // rounding) is outside the square, and no other vertex is that near.
    EXPECT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x + 4, y, &row, &col), 1);
    EXPECT_EQ(row, 60);
    EXPECT_EQ(col, 60);
    EXPECT_EQ(pickWaterVertex(view.viewport, view.projection, view.modelview, x, y - 6, &row, &col), 0);

    // The window's corner shows no water at all.
    EXPECT_EQ(rippleAtPointer(view.viewport, view.projection, view.modelview, 2, 2), 0);
    double energy = 0.0;
    for (const auto &r : waveDisplacement)
        for (float d : r)
            energy += std::fabs(d);
    EXPECT_EQ(energy, 0.0);
}

TEST_F(Camera, EqualDistancesGoToTheFirstVertexInRowMajorOrder)
{
    // A model-view that drops the x coordinate draws every row on the same
    // pixels, so all rows tie; the first pickable row wins.
    const int viewport[4] = {0, 0, 300, 300};
    const double projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double modelview[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0.05, 0, 0, 0, 0, 0, 1};
    // Column 70 lies at z = 3.5344830, drawn at y = 150 + 150 x 0.05 z.
    const int y = 300 - static_cast<int>(std::lround(150.0 + 7.5 * gridCoord(70)));
    int row = -1, col = -1;
    ASSERT_EQ(pickWaterVertex(viewport, projection, modelview, 150, y, &row, &col), 1);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(col, 70);
}

TEST_F(Camera, VerticesBehindTheEyeAreNotPicked)
{
    // Standing just above the water and looking along +x, the vertices
    // behind the eye project, mirrored, into the sky in front of it.
    const int viewport[4] = {0, 0, 300, 300};
    double projection[16], modelview[16];
    perspectiveMatrix(FIELD_OF_VIEW, 1.0, NEAR_PLANE, FAR_PLANE, projection);
    // Eye at (0, 1, 0) looking at (10, 1, 0): world x becomes -z_eye.
    const double look[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, -1, 0, 1};
    for (int k = 0; k < 16; ++k)
        modelview[k] = look[k];

    const double behind[3] = {gridCoord(30), 0.0, gridCoord(60)};
    double window[3];
    ASSERT_EQ(projectToWindow(behind, modelview, projection, viewport, window), 1);
    ASSERT_GT(window[1], 150.0) << "the mirrored image lies above the horizon";
    const int x = static_cast<int>(std::lround(window[0]));
    const int y = 300 - static_cast<int>(std::lround(window[1]));
    int row = -1, col = -1;
    EXPECT_EQ(pickWaterVertex(viewport, projection, modelview, x, y, &row, &col), 0);

    // In front of the eye the same view picks normally.
    const double ahead[3] = {gridCoord(100), 0.0, gridCoord(60)};
    ASSERT_EQ(projectToWindow(ahead, modelview, projection, viewport, window), 1);
    ASSERT_EQ(pickWaterVertex(viewport, projection, modelview, static_cast<int>(std::lround(window[0])),
                              300 - static_cast<int>(std::lround(window[1])), &row, &col),
              1);
    EXPECT_EQ(col, 60);
}
