#include <GL/glut.h>

#include "caustics/caustics.h"
#include "core/state.h"
#include "render/caustics_draw.h"
#include "render/frame.h"
#include "render/surface.h"
#include "scenery/scenery.h"
#include "scenery/scenery_gl.h"
#include "water/droplets.h"

// Light adds up: caustics, water, walls and droplets all add their colour to
// what is already on screen. Only the opaque floor and box draw without it.
static void additiveBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    additiveBlending();
    glLoadIdentity();
    gluLookAt(eyeX, eyeY, eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

    // Caustics, shade and area ratio of every triangle, also when the
    // caustics are hidden, so every frame costs the same and nothing drawn
    // later reads values of an older surface.
    computeFrameValues();

    // A scenery set brings its own floor, whatever 't' chose last.
    if (showEnvironment)
        bottomIndex = envIndex;

    if (showPoolBottom) {
        glDisable(GL_BLEND);
        drawPoolFloor();
        additiveBlending();
    }

    // The floor above still used the previous frame's mode, so a toggle of
    // the wire mesh reaches it one frame later.
    glPolygonMode(GL_FRONT_AND_BACK, showMesh ? GL_FILL : GL_LINE);

    // The box is solid: drawn opaque and depth-tested, and the depth test
    // stays on so that the light drawn after it is hidden behind it.
    if (showBox) {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        drawBox();
        additiveBlending();
    }

    if (showCaustics)
        drawCaustics();
    drawWaterSurface();

    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    updateDroplets();

    glutSwapBuffers();
}
