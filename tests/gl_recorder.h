// A recording stand-in for the GL, GLU and GLUT functions the drawing code
// calls, linked only into the tests: each call is appended to glCalls with its
// arguments as doubles, so a test can assert the stream a drawing issues.
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

// Clears the call list and the last texture image; identity matrices, 300 x 300 viewport.
void resetGlRecorder();

// The calls named name, in order.
std::vector<GlCall> callsNamed(const std::string &name);

// How many calls are named name.
int countCalls(const std::string &name);

// The names of all calls in order, joined by single spaces (for short streams).
std::string callNames();
