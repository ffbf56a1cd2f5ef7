// The orbiting camera: the eye lies on a sphere of radius camRadius around the
// world origin, at azimuth camPhi and polar angle camTheta (scene state). A
// left drag turns it about the origin, a right drag moves it nearer or
// farther, and a middle click starts a ripple on the water vertex under the
// pointer.
#pragma once

constexpr double FIELD_OF_VIEW = 60.0;      // vertical field of view of the perspective, degrees
constexpr double NEAR_PLANE = 0.01;         // distance of the near clipping plane, world units
constexpr double FAR_PLANE = 10000.0;       // distance of the far clipping plane, world units
constexpr double THETA_CEILING = 3.14;      // a polar angle this large or larger turns the eye past the pole...
constexpr float THETA_BELOW_SOUTH = 3.13f;  // ...and is pulled back to this
constexpr double THETA_FLOOR = 0.0;         // a polar angle this small or smaller...
constexpr float THETA_ABOVE_NORTH = 0.01f;  // ...is pushed back to this
constexpr double ZOOM_RATE = 0.15;          // change of camRadius per pixel of right drag, world units
constexpr double MIN_RADIUS = 0.1;          // the eye comes no nearer to the origin than this
constexpr int PICK_FIRST = 5;               // first row and column a middle click can hit
constexpr int PICK_LAST = 112;              // last row and column a middle click can hit
constexpr double PICK_TOLERANCE = 5.0;      // half-width in pixels of the square around the pointer a vertex must lie in
constexpr float RIPPLE_CENTRE = -20.0f;     // displacement stamped at the clicked vertex
constexpr float RIPPLE_EDGE = -5.0f;        // displacement stamped at its eight neighbours

// Recomputes eyeX, eyeY, eyeZ from camPhi, camTheta and camRadius.
void placeEye();

// Aspect ratio of the perspective for a window of width x height pixels; a
// height of 0 (a minimised window) counts as 1.
double perspectiveAspect(int width, int height);

// Turns the camera by the drag from (mouseX, mouseY) to (x, y), one degree per pixel, keeping camTheta in (0, 3.14).
void rotateCamera(int x, int y);

// Moves the eye along its direction by the vertical drag from mouseY to y, keeping camRadius at 0.1 or more.
void zoomCamera(int y);

// One drag step to (x, y): rotates while the left button is held, else zooms while the right one is, then records the pointer.
void dragCamera(int x, int y);

// The pickable water vertex drawn nearest to the pointer (x, y; y from the top
// of the window), among those within PICK_TOLERANCE pixels on both axes and in
// front of the eye; returns 0 when there is none, else 1 with row and col set.
int pickWaterVertex(const int viewport[4], const double projection[16], const double modelview[16], int x, int y,
                    int *row, int *col);

// Stamps a ripple into waveDisplacement at the vertex under the pointer, if any; returns 1 when one was stamped.
int rippleAtPointer(const int viewport[4], const double projection[16], const double modelview[16], int x, int y);
