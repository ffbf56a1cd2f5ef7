#include <GL/glut.h>

#include <cstdlib>

#include "scenery/scenery_gl.h"
#include "scenery/tga.h"

int loadTgaTexture(const char *fileName, unsigned int textureName)
{
    TgaImage image;
    const int result = decodeTgaFile(fileName, &image);
    if (result != TGA_LOADED)
        return result;  // already reported; the texture name keeps no image

    glBindTexture(GL_TEXTURE_2D, textureName);
    // Rows of 8- and 24-bit images are not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // No mipmaps are built, so the minification filter must not ask for them.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Texture colour times the current colour: the drawing code tints and dims through glColor.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, texFormat, image.width, image.height, 0, static_cast<GLenum>(texFormat),
                 GL_UNSIGNED_BYTE, image.pixels);
    // The GL keeps its own copy of the pixels.
    std::free(image.pixels);
    return TGA_LOADED;
}
