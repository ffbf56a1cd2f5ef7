#include "app/camera.h"

#include <cmath>

#include "core/state.h"
#include "water/mesh.h"

void placeEye()
{
    const double sinTheta = std::sin(static_cast<double>(camTheta));
    eyeX = static_cast<float>(camRadius * std::sin(static_cast<double>(camPhi)) * sinTheta);
    eyeY = static_cast<float>(camRadius * std::cos(static_cast<double>(camTheta)));
    eyeZ = static_cast<float>(camRadius * std::cos(static_cast<double>(camPhi)) * sinTheta);
}

double perspectiveAspect(int width, int height)
{
    return static_cast<double>(width) / static_cast<double>(height > 0 ? height : 1);
}

void rotateCamera(int x, int y)
{
    // Dragging left raises the azimuth; dragging up raises the polar angle,
    // which lowers the eye toward and below the water.
    camPhi = static_cast<float>(camPhi + static_cast<double>(mouseX - x) * DEG_TO_RAD);
    camTheta = static_cast<float>(camTheta + static_cast<double>(mouseY - y) * DEG_TO_RAD);

    // At the poles the look-at direction and the up vector line up and the
    // view flips; stopping just short keeps the picture upright.
    if (camTheta >= THETA_CEILING)
        camTheta = THETA_BELOW_SOUTH;
    else if (camTheta <= THETA_FLOOR)
        camTheta = THETA_ABOVE_NORTH;
    placeEye();
}

void zoomCamera(int y)
{
    // Dragging toward the user (down the window) backs the eye away.
    float radius = static_cast<float>(camRadius + static_cast<double>(y - mouseY) * ZOOM_RATE);
    if (radius < MIN_RADIUS)
        radius = static_cast<float>(MIN_RADIUS);

    // Scaling keeps the eye's direction exactly, angles or no angles.
    const double scale = static_cast<double>(radius) / camRadius;
    eyeX = static_cast<float>(scale * eyeX);
    eyeY = static_cast<float>(scale * eyeY);
    eyeZ = static_cast<float>(scale * eyeZ);
    camRadius = radius;
}

void dragCamera(int x, int y)
{
    if (leftButtonDown == 1)
        rotateCamera(x, y);
    else if (rightButtonDown == 1)
        zoomCamera(y);
    mouseX = x;
    mouseY = y;
}

// out = m in, for a column-major 4 x 4 matrix m.
static void transform(const double m[16], const double in[4], double out[4])
{
    for (int r = 0; r < 4; ++r)
        out[r] = in[0] * m[r] + in[1] * m[4 + r] + in[2] * m[8 + r] + in[3] * m[12 + r];
}

static void clipCoordinates(const double object[3], const double modelview[16], const double projection[16],
                            double clip[4])
{
    const double point[4] = {object[0], object[1], object[2], 1.0};
    double eye[4];
    transform(modelview, point, eye);
    transform(projection, eye, clip);
}

// Normalised device coordinates run from -1 to 1; the viewport maps them to
// pixels with y up from the bottom edge, and depth to 0..1.
static void clipToWindow(const double clip[4], const int viewport[4], double window[3])
{
    const double ndc[3] = {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
    window[0] = viewport[0] + (ndc[0] * 0.5 + 0.5) * viewport[2];
    window[1] = viewport[1] + (ndc[1] * 0.5 + 0.5) * viewport[3];
    window[2] = ndc[2] * 0.5 + 0.5;
}

// The window position (x, y, depth) of an object point, with the arithmetic of
// GLU's projection (column-major matrices); returns 0 when the point has no
// projection (clip w of 0), else 1. The pick's own step; the tests declare it
// to check it against known projections.
int projectToWindow(const double object[3], const double modelview[16], const double projection[16],
                    const int viewport[4], double window[3])
{
    double clip[4];
    clipCoordinates(object, modelview, projection, clip);
    if (clip[3] == 0.0)
        return 0;
    clipToWindow(clip, viewport, window);
    return 1;
}

int pickWaterVertex(const int viewport[4], const double projection[16], const double modelview[16], int x, int y,
                    int *row, int *col)
{
    // The toolkit counts the pointer's y down from the top of the window, the
    // projection counts it up from the bottom.
    const double pointerX = x;
    const double pointerY = static_cast<double>(viewport[1]) + viewport[3] - y;

    // The camera looks at the water at a grazing angle, so many vertices can
    // crowd into the few pixels round the pointer; the one drawn nearest to
    // it is the one the user sees under it.
    bool found = false;
    double bestDistance = 0.0;
    for (int i = PICK_FIRST; i <= PICK_LAST; ++i)
        for (int j = PICK_FIRST; j <= PICK_LAST; ++j) {
            const float drawnHeight = static_cast<float>(static_cast<double>(waterHeight[i][j]) + viewLevelOffset);
            const double object[3] = {gridCoord(i), drawnHeight, gridCoord(j)};
            double clip[4], window[3];
            clipCoordinates(object, modelview, projection, clip);
            // A vertex behind the eye or beyond the clipping planes also lands
            // somewhere on the window plane, but it is not drawn there, so
            // nobody can have clicked on it.
            if (!(clip[3] > 0.0 && -clip[3] <= clip[2] && clip[2] <= clip[3]))
                continue;
            clipToWindow(clip, viewport, window);
            if (!(window[0] - PICK_TOLERANCE < pointerX && pointerX < window[0] + PICK_TOLERANCE &&
                  window[1] - PICK_TOLERANCE < pointerY && pointerY < window[1] + PICK_TOLERANCE))
                continue;
            const double dx = window[0] - pointerX;
            const double dy = window[1] - pointerY;
            const double distance = dx * dx + dy * dy;
            if (!found || distance < bestDistance) {
                found = true;
                bestDistance = distance;
                *row = i;
                *col = j;
            }
        }
    return found ? 1 : 0;
}

int rippleAtPointer(const int viewport[4], const double projection[16], const double modelview[16], int x, int y)
{
    int row = 0, col = 0;
    if (pickWaterVertex(viewport, projection, modelview, x, y, &row, &col) == 0)
        return 0;
    stampDisplacement(row, col, RIPPLE_CENTRE, RIPPLE_EDGE);
    return 1;
}
