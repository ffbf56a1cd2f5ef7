#include <GL/glut.h>

#include "app/input.h"
#include "app/state.h"

void reshapeWindow(int width, int height)
{
    glViewport(0, 0, width, height);
    winWidth = width;
    winHeight = height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(winWidth) / (winHeight > 0 ? winHeight : 1), 0.01, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void handleMouseButton(int, int, int x, int y)
{
    mouseX = x;
    mouseY = y;
}

void handleMouseMotion(int x, int y)
{
    mouseX = x;
    mouseY = y;
}
