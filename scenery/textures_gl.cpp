#include <GL/glut.h>

#include "scenery/scenery_gl.h"
#include "scenery/textures.h"
#include "scenery/tga.h"

static constexpr GLfloat SPOT_CUTOFF_DEGREES = 45.0f;                   // half-angle of the light-0 cone
static constexpr GLfloat SPOT_DIRECTION[3] = {-1.0f, -1.0f, 0.0f};      // light-0 axis, world

void setupTexturesAndLight()
{
    glShadeModel(GL_SMOOTH);
    glGenTextures(TEXTURE_COUNT, textureIds);
    if (textureDirectory.empty())
        textureDirectory = imageDirectoryBesideProgram();
    // A failed load has printed its messages and costs only its own texture:
    // whatever is drawn with that name bound comes out in its plain colour.
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        loadTgaTexture(texturePath(textureFiles[i]).c_str(), textureIds[i]);

    // Lighting is never enabled, so the spot is inert; the shading of the
    // water is computed by the program itself.
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, SPOT_CUTOFF_DEGREES);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, SPOT_DIRECTION);
}
