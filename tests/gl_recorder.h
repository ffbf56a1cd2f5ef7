// A recording stand-in for the GL, GLU and GLUT functions the drawing code
// calls, linked only into the tests: each call is appended to glCalls with its
// arguments as doubles, so a test can assert the stream a drawing issues. A
// draw from client arrays is recorded as the immediate-mode calls that draw
// the same: glBegin, then for each vertex its colour, normal and texture
// coordinate from the enabled arrays and its glVertex3f, then glEnd.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;          // the function, e.g. "glVertex3f"
    std::vector<double> args;  // its numeric arguments in order (pointers left out)
};

extern std::vector<GlCall> glCalls;  // every call since the last resetGlRecorder

// What glGetIntegerv(GL_VIEWPORT) and glGetDoublev(GL_PROJECTION_MATRIX /
// GL_MODELVIEW_MATRIX) report; tests set them.
extern int recordedViewport[4];
extern double recordedProjection[16];
extern double recordedModelview[16];

// The pixels handed to the last glTexImage2D, copied.
extern std::vector<unsigned char> lastTexImage;

// One vertex as drawn: the primitive it belongs to, its position, and the
// colour, normal and texture coordinate current when it was given.
struct DrawnVertex {
    double mode;       // GL_TRIANGLES, GL_QUADS, ...
    double pos[3];
    double color[4];   // glColor3f sets alpha 1
    double normal[3];
    double texCoord[2];
};

// Every vertex drawn since the last resetGlRecorder, in order, whether given
// one call at a time or from arrays; current colour, normal and texture
// coordinate start at GL's initial (1,1,1,1), (0,0,1), (0,0).
std::vector<DrawnVertex> drawnVertices();

// Clears the call list and the last texture image; identity matrices, 300 x 300 viewport.
void resetGlRecorder();

// The calls named name, in order.
std::vector<GlCall> callsNamed(const std::string &name);

// How many calls are named name.
int countCalls(const std::string &name);

// The names of all calls in order, joined by single spaces (for short streams).
std::string callNames();
