#include <GL/glut.h>

#include "app/camera.h"
#include "app/input.h"
#include "core/state.h"
#include "render/frame.h"

void reshapeWindow(int width, int height)
{
    glViewport(0, 0, width, height);
    winWidth = width;
    winHeight = height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, perspectiveAspect(winWidth, winHeight), NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void handleMouseButton(int button, int state, int x, int y)
{
    mouseX = x;
    mouseY = y;
    if (button == GLUT_LEFT_BUTTON) {
        leftButtonDown = state == GLUT_DOWN ? 1 : 0;
    } else if (button == GLUT_RIGHT_BUTTON) {
        rightButtonDown = state == GLUT_DOWN ? 1 : 0;
    } else if (button == GLUT_MIDDLE_BUTTON && state == GLUT_DOWN) {
        // The model-view matrix still holds the last frame's look-at, so the
        // vertices are projected exactly as they were drawn.
        GLint viewport[4];
        GLdouble projection[16], modelview[16];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        rippleAtPointer(viewport, projection, modelview, x, y);
    }
}

void handleMouseMotion(int x, int y)
{
    dragCamera(x, y);
    drawFrame();
}
