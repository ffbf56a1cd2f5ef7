#include <GL/glut.h>

#include "caustics/caustics.h"
#include "render/caustics_draw.h"

void drawCaustics()
{
    // One batch for the whole frame: with additive blending the order does
    // not matter, and overlapping images simply add up their light.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, causticVertices);
    glColorPointer(4, GL_FLOAT, 0, causticColors);
    glDrawArrays(GL_TRIANGLES, 0, causticVertexCount);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
